// UTF-8 (inside) to and from UTF-16 (the system's strings and BSTRs at the COM boundary).
#pragma once

#include <string>
#include <string_view>

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

std::wstring Wide(std::string_view text);
std::string Narrow(const wchar_t* text, std::size_t length);
std::string Narrow(const std::wstring& text);

// A new BSTR the caller frees (SysFreeString); nullptr for the empty text.
BSTR NewBstr(std::string_view text);
// The text of a BSTR (null reads as empty).
std::string FromBstr(BSTR text);

}  // namespace tarvik::platform::com_bridge
