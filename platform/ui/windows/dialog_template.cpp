#include "platform/ui/windows/dialog_template.h"

namespace tarvik::platform {

DialogTemplate::DialogTemplate(std::wstring_view window_class, std::wstring_view title, short width,
                               short height) {
  AddDword(DS_MODALFRAME | DS_SETFONT | DS_CENTER | WS_POPUP | WS_CAPTION | WS_SYSMENU);
  AddDword(0);  // extended style
  count_at_ = words_.size();
  words_.push_back(0);
  for (short value : {short{0}, short{0}, width, height})
    words_.push_back(static_cast<::WORD>(value));
  words_.push_back(0);  // no menu
  AddText(window_class);
  AddText(title);
  words_.push_back(8);  // point size of the font
  AddText(L"MS Shell Dlg");
}

void DialogTemplate::Add(ControlClass control, int id, std::wstring_view text, short x, short y,
                         short width, short height, ::DWORD style) {
  if (words_.size() % 2 != 0) words_.push_back(0);  // each control starts on a DWORD
  AddDword(style | WS_CHILD | WS_VISIBLE);
  AddDword(0);
  for (short value : {x, y, width, height}) words_.push_back(static_cast<::WORD>(value));
  words_.push_back(static_cast<::WORD>(id));
  words_.push_back(0xFFFF);
  words_.push_back(static_cast<::WORD>(control));
  AddText(text);
  words_.push_back(0);  // no creation data
  ++words_[count_at_];
}

void DialogTemplate::AddDword(::DWORD value) {
  words_.push_back(static_cast<::WORD>(value & 0xFFFF));
  words_.push_back(static_cast<::WORD>(value >> 16));
}

void DialogTemplate::AddText(std::wstring_view text) {
  for (wchar_t c : text) words_.push_back(static_cast<::WORD>(c));
  words_.push_back(0);
}

}  // namespace tarvik::platform
