#include "ftp/control_connection/reply_parser.h"

#include <algorithm>

#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool StartsWithThreeDigits(std::string_view line) {
  return line.size() >= 3 && IsDigit(line[0]) && IsDigit(line[1]) && IsDigit(line[2]);
}

int ThreeDigitValue(std::string_view line) {
  return (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
}

// Calls `visit` for every piece of `text` between CR LF pairs; `last` tells the final piece.
template <typename Visitor>
void ForEachPiece(std::string_view text, Visitor&& visit) {
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find("\r\n", start);
    if (end == std::string_view::npos) {
      visit(text.substr(start), true);
      return;
    }
    visit(text.substr(start, end - start), false);
    start = end + 2;
  }
}

std::string WithoutNul(std::string_view piece) {
  std::string result(piece);
  result.erase(std::remove(result.begin(), result.end(), '\0'), result.end());
  return result;
}

}  // namespace

ReplyCodeScan ScanReplyCode(std::string_view text) {
  ReplyCodeScan scan;
  if (text.size() < 3) return scan;
  bool pending_257 = false;
  ForEachPiece(text, [&](std::string_view raw, bool) {
    const std::string cleaned = WithoutNul(raw);
    const std::string_view line = platform::Trim(cleaned, platform::kSpaces);
    if (!StartsWithThreeDigits(line)) return;
    const int value = ThreeDigitValue(line);
    if (line.size() == 3) {
      scan.code = value;
    } else if (line[3] == '-') {
      scan.continuation = std::string(line.substr(4));
    } else if (line[3] == ' ') {
      if (value == 257) {
        pending_257 = true;
      } else {
        scan.code = value;
      }
    }
  });
  if (scan.code == 0 && pending_257) scan.code = 257;
  return scan;
}

int GetResponseCode(std::string_view text) {
  const ReplyCodeScan scan = ScanReplyCode(text);
  if (scan.code != 0 || scan.continuation.size() <= 2) return scan.code;
  if (text.starts_with("220") || text.starts_with("221")) return 220;
  return 0;
}

std::string GetResponseInfo(std::string_view text) {
  std::string_view chosen;
  ForEachPiece(text, [&](std::string_view piece, bool last) {
    if (!last && piece.size() > 3) chosen = piece;
  });
  const std::size_t nul = chosen.find('\0');
  if (nul != std::string_view::npos) chosen = chosen.substr(0, nul);
  return std::string(platform::Trim(chosen, platform::kSpaces));
}

}  // namespace tarvik
