// The top-level windows of the dialogs on screen, in the manner of FindWindowA and SetWindowPos.
//
// A dialog shown through this layer (platform/ui/ui_provider.h) is a top-level window for as long
// as its provider is answering it: a ShownWindow registers its title. FindWindow finds the window
// with exactly that title (the most recently shown one when several share it); SetWindowTopMost
// keeps the window above the others or lets it go. A provider that draws real windows reads
// IsWindowTopMost when it places them; a terminal has one window, where the flag changes nothing
// on screen.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tarvik::platform {

using TopLevelWindow = std::uintptr_t;  // 0 is no window

// SetWindowPos's insert-after values for the topmost band.
inline constexpr std::intptr_t HWND_TOPMOST = -1;
inline constexpr std::intptr_t HWND_NOTOPMOST = -2;

// Registers a top-level window titled `title` for the lifetime of the object.
class ShownWindow {
 public:
  explicit ShownWindow(std::string title);
  ~ShownWindow();
  ShownWindow(const ShownWindow&) = delete;
  ShownWindow& operator=(const ShownWindow&) = delete;

  TopLevelWindow handle() const { return handle_; }

 private:
  TopLevelWindow handle_;
};

// The window with exactly the title `title` (compared with case, as FindWindowA does); 0 when none.
TopLevelWindow FindWindow(std::string_view title);

// SetWindowPos with HWND_TOPMOST or HWND_NOTOPMOST, keeping position and size; false for a
// window that is not there or another insert-after value.
bool SetWindowPos(TopLevelWindow window, std::intptr_t insert_after);

// Whether `window` is there and kept above the others.
bool IsWindowTopMost(TopLevelWindow window);

}  // namespace tarvik::platform
