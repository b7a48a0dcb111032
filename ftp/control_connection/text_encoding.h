// The text encoding of replies: UTF-8 when the session's UTF-8 switch is on, else the system ANSI
// code page (the socket encodes command lines the same way). Internal text is UTF-8 either way.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// Text of received bytes: UTF-8 decoded up to the first NUL byte (invalid sequences replaced), or
// the bytes read in the ANSI code page.
std::string DecodeReceived(std::string_view bytes, bool utf8);

// Text of UTF-8 bytes up to the first NUL ("" for "" or a NUL first).
std::string FromUtf8(std::string_view bytes);

}  // namespace tarvik
