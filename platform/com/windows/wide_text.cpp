#include "platform/com/windows/wide_text.h"

#include "platform/text/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

std::wstring Wide(std::string_view text) {
  return WideFromUtf8(text);
}

std::string Narrow(const wchar_t* text, std::size_t length) {
  if (text == nullptr) return {};
  return Utf8FromWide(std::wstring_view(text, length));
}

std::string Narrow(const std::wstring& text) {
  return Narrow(text.data(), text.size());
}

BSTR NewBstr(std::string_view text) {
  if (text.empty()) return nullptr;
  const std::wstring wide = Wide(text);
  return SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
}

std::string FromBstr(BSTR text) {
  return Narrow(text, text == nullptr ? 0 : SysStringLen(text));
}

}  // namespace tarvik::platform::com_bridge
