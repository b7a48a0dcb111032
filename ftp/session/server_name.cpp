#include "ftp/session/server_name.h"

#include <algorithm>
#include <array>

#include "ftp/control_connection/command_line.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

// Removes every occurrence of the lower-case `word` from `text`, ignoring case.
void RemoveIgnoringCase(std::string& text, std::string_view word) {
  std::string lowered = platform::ToLowerAscii(text);
  std::size_t at = lowered.find(word);
  while (at != std::string::npos) {
    text.erase(at, word.size());
    lowered.erase(at, word.size());
    at = lowered.find(word, at);
  }
}

}  // namespace

std::string NormaliseServerName(std::string_view value) {
  std::string name(value);
  for (std::string_view scheme : std::array<std::string_view, 3>{"ftp:", "http:", "https:"}) {
    RemoveIgnoringCase(name, scheme);
  }
  name.erase(std::remove_if(name.begin(), name.end(), [](char c) { return c == '/' || c == '\\'; }),
             name.end());
  if (name.ends_with(":21")) name.erase(name.size() - 3);
  return name;
}

}  // namespace tarvik
