#include "ftp/session/scrambled_text.h"

#include "ftp/control_connection/reply_parser.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

int CodeOf(char c) {
  return static_cast<unsigned char>(c);
}

}  // namespace

std::string DecodeScrambledAnsi(std::string_view scrambled) {
  std::string_view text = platform::Trim(scrambled, platform::kSpaces);
  if (text.size() < 4 || !text.starts_with("ab") || !text.ends_with("yz")) return {};
  text = text.substr(2, text.size() - 4);
  if (text.size() < 2) return {};
  const int key = CodeOf(text.front());
  text.remove_prefix(1);

  std::string plain;
  while (!text.empty()) {
    const int run_length = CodeOf(text.front()) - 110;
    text.remove_prefix(1);
    if (run_length < 2 || static_cast<std::size_t>(run_length) > text.size()) return {};
    long code = 0;
    for (char letter : text.substr(0, static_cast<std::size_t>(run_length))) {
      const int digit = CodeOf(letter) - key + 5;
      if (digit < 0 || digit > 9) return {};
      code = code * 10 + digit;
      if (code > 65535) return {};
    }
    text.remove_prefix(static_cast<std::size_t>(run_length));
    // A NUL byte would end the command line early, also as the trail byte of a code above 255.
    if (code == 0 || (code > 255 && (code & 0xFF) == 0)) return {};
    if (code > 255) plain.push_back(static_cast<char>(code >> 8));
    plain.push_back(static_cast<char>(code & 0xFF));
  }
  return plain;
}

}  // namespace tarvik
