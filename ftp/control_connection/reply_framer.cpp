#include "ftp/control_connection/reply_framer.h"

namespace tarvik {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// The code of a line that opens a reply: three digits followed by a blank, a '-' or nothing.
// -1 when the line opens no reply.
int OpeningCode(std::string_view line, bool* continued) {
  const std::size_t start = line.find_first_not_of(std::string_view(" \0", 2));
  if (start == std::string_view::npos) return -1;
  line.remove_prefix(start);
  if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2])) return -1;
  if (line.size() > 3 && line[3] != ' ' && line[3] != '-') return -1;
  *continued = line.size() > 3 && line[3] == '-';
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// Whether `line` ends the multi-line reply opened by `code`: "nnn text" or just "nnn".
bool ClosesReply(std::string_view line, std::string_view code) {
  return line.starts_with(code) && (line.size() == 3 || line[3] == ' ');
}

}  // namespace

std::optional<FramedReply> ReplyFramer::Next() {
  FramedReply reply;
  std::string code_text;
  bool continued = false;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = pending_.find('\n', start);
    if (end == std::string::npos) return std::nullopt;
    std::string_view line(pending_.data() + start, end - start);
    if (line.ends_with('\r')) line.remove_suffix(1);
    reply.text.append(line).append("\r\n");
    start = end + 1;
    if (code_text.empty()) {
      reply.code = OpeningCode(line, &continued);
      if (reply.code < 0) {
        reply.code = 0;
        break;
      }
      if (!continued) break;
      code_text = {static_cast<char>('0' + reply.code / 100),
                   static_cast<char>('0' + reply.code / 10 % 10),
                   static_cast<char>('0' + reply.code % 10)};
    } else if (ClosesReply(line, code_text)) {
      break;
    }
  }
  pending_.erase(0, start);
  return reply;
}

}  // namespace tarvik
