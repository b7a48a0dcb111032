// The text encoding of the control connection: every command line and reply is UTF-8 when the
// session's UTF-8 switch is on, else the system ANSI code page. Internal text is UTF-8 either way.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// Bytes to send for `text`: its UTF-8 bytes (no byte-order mark, no terminator), or the text in
// the ANSI code page.
std::string EncodeForSending(std::string_view text, bool utf8);

// Text of received bytes: UTF-8 decoded up to the first NUL byte (invalid sequences replaced), or
// the bytes read in the ANSI code page.
std::string DecodeReceived(std::string_view bytes, bool utf8);

// UTF-8 bytes of `text` ("" for ""), and text of UTF-8 bytes up to the first NUL.
std::string ToUtf8(std::string_view text);
std::string FromUtf8(std::string_view bytes);

}  // namespace tarvik
