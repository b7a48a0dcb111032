// A dialog box template built in memory, for DialogBoxIndirectParam: the window of a registered
// dialog class, its title and font, and its controls in dialog units.
#pragma once

#include <string_view>
#include <vector>

#include "platform/win32/windows_api.h"

namespace tarvik::platform {

// The system's control classes a template names by number.
enum class ControlClass : ::WORD { kButton = 0x0080, kEdit = 0x0081, kStatic = 0x0082 };

class DialogTemplate {
 public:
  // A modal dialog of the window class `window_class` (registered with DefDlgProc as its window
  // procedure), `width` by `height` dialog units, centred.
  DialogTemplate(std::wstring_view window_class, std::wstring_view title, short width,
                 short height);

  void Add(ControlClass control, int id, std::wstring_view text, short x, short y, short width,
           short height, ::DWORD style);

  const ::DLGTEMPLATE* get() const { return reinterpret_cast<const ::DLGTEMPLATE*>(words_.data()); }

 private:
  void AddDword(::DWORD value);
  void AddText(std::wstring_view text);

  std::vector<::WORD> words_;  // starts DWORD-aligned, as the system requires
  std::size_t count_at_ = 0;   // where the number of controls is kept
};

}  // namespace tarvik::platform
