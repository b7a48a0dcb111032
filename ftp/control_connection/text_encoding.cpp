#include "ftp/control_connection/text_encoding.h"

#include "platform/text/code_page.h"

namespace tarvik {

std::string FromUtf8(std::string_view bytes) {
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) bytes = bytes.substr(0, nul);
  if (bytes.empty()) return {};
  return platform::MultiByteToUtf8(bytes, platform::kCodePageUtf8).value_or(std::string());
}

std::string DecodeReceived(std::string_view bytes, bool utf8) {
  return utf8 ? FromUtf8(bytes) : platform::AnsiToUtf8(bytes);
}

}  // namespace tarvik
