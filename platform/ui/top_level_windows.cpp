#include "platform/ui/top_level_windows.h"

#include <map>
#include <mutex>

namespace tarvik::platform {
namespace {

struct WindowEntry {
  std::string title;
  bool topmost = false;
};

struct WindowList {
  std::mutex mutex;
  std::map<TopLevelWindow, WindowEntry> windows;  // by handle, in the order shown
  TopLevelWindow next_handle = 1;
};

WindowList& Windows() {
  static WindowList list;
  return list;
}

}  // namespace

ShownWindow::ShownWindow(std::string title) {
  WindowList& list = Windows();
  std::lock_guard lock(list.mutex);
  handle_ = list.next_handle++;
  list.windows.emplace(handle_, WindowEntry{std::move(title)});
}

ShownWindow::~ShownWindow() {
  WindowList& list = Windows();
  std::lock_guard lock(list.mutex);
  list.windows.erase(handle_);
}

TopLevelWindow FindWindow(std::string_view title) {
  WindowList& list = Windows();
  std::lock_guard lock(list.mutex);
  for (auto it = list.windows.rbegin(); it != list.windows.rend(); ++it) {
    if (it->second.title == title) return it->first;
  }
  return 0;
}

bool SetWindowPos(TopLevelWindow window, std::intptr_t insert_after) {
  if (insert_after != HWND_TOPMOST && insert_after != HWND_NOTOPMOST) return false;
  WindowList& list = Windows();
  std::lock_guard lock(list.mutex);
  const auto found = list.windows.find(window);
  if (found == list.windows.end()) return false;
  found->second.topmost = insert_after == HWND_TOPMOST;
  return true;
}

bool IsWindowTopMost(TopLevelWindow window) {
  WindowList& list = Windows();
  std::lock_guard lock(list.mutex);
  const auto found = list.windows.find(window);
  return found != list.windows.end() && found->second.topmost;
}

}  // namespace tarvik::platform
