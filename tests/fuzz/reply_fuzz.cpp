// The control connection's reply reader over any bytes, cut into arrivals at positions the input
// chooses. Every framed reply is made of whole lines ending in CR LF with a code of 0 or three
// digits that its first line begins with (a multi-line reply ends with a line of the same code),
// the way the bytes are cut never changes the replies, and the parser's codes and texts come
// from the reply's own lines.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "ftp/control_connection/reply_framer.h"
#include "ftp/control_connection/reply_parser.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::string_view WithoutLeadingBlanksAndNul(std::string_view line) {
  const std::size_t start = line.find_first_not_of(std::string_view(" \0", 2));
  return start == std::string_view::npos ? std::string_view() : line.substr(start);
}

std::string CodeText(int code) {
  char text[4];
  std::snprintf(text, sizeof text, "%03d", code);
  return text;
}

// The received bytes as the framer hands them out: each line with its CR LF, or bare LF, made
// one CR LF.
std::string AsFramedLines(std::string_view bytes) {
  std::string lines;
  while (!bytes.empty()) {
    std::size_t end = bytes.find('\n');
    std::string_view line = bytes.substr(0, end);
    if (line.ends_with('\r')) line.remove_suffix(1);
    lines.append(line).append("\r\n");
    bytes.remove_prefix(end + 1);
  }
  return lines;
}

// The lines of a framed reply, each without its CR LF; false when the text is not made of lines.
bool SplitLines(std::string_view text, std::vector<std::string_view>& lines) {
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos || end == 0 || text[end - 1] != '\r') return false;
    lines.push_back(text.substr(0, end - 1));
    text.remove_prefix(end + 1);
  }
  return !lines.empty();
}

void CheckReply(const tarvik::FramedReply& reply) {
  std::vector<std::string_view> lines;
  FUZZ_CHECK(SplitLines(reply.text, lines));
  FUZZ_CHECK(reply.code >= 0 && reply.code <= 999);
  if (reply.code == 0) {
    // A line that is no reply comes alone; "000" is a code of value 0 and passes too.
    FUZZ_CHECK(lines.size() == 1 || WithoutLeadingBlanksAndNul(lines[0]).starts_with("000-"));
  } else {
    FUZZ_CHECK(WithoutLeadingBlanksAndNul(lines[0]).starts_with(CodeText(reply.code)));
  }
  // A multi-line reply ends at the first line that closes it.
  const std::string code_text = CodeText(reply.code);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const bool closes =
        lines[i].starts_with(code_text) && (lines[i].size() == 3 || lines[i][3] == ' ');
    FUZZ_CHECK(closes == (i + 1 == lines.size()));
  }

  const tarvik::ReplyCodeScan scan = tarvik::ScanReplyCode(reply.text);
  FUZZ_CHECK(scan.code >= 0 && scan.code <= 999);
  FUZZ_CHECK(scan.continuation.size() <= reply.text.size());
  const int code = tarvik::GetResponseCode(reply.text);
  FUZZ_CHECK(code == scan.code || code == 220 || code == 0);
  const std::string info = tarvik::GetResponseInfo(reply.text);
  FUZZ_CHECK(info.find('\0') == std::string::npos);
  FUZZ_CHECK(info.find("\r\n") == std::string::npos);
  FUZZ_CHECK(info.empty() || reply.text.find(info) != std::string::npos);
}

// Frames `bytes` given in arrivals cut after each of the `cuts` (positions into `bytes`).
std::vector<tarvik::FramedReply> Frame(std::string_view bytes, const std::vector<std::size_t>& cuts,
                                       std::size_t& pending) {
  tarvik::ReplyFramer framer;
  std::vector<tarvik::FramedReply> replies;
  std::size_t from = 0;
  for (std::size_t cut : cuts) {
    framer.Add(bytes.substr(from, cut - from));
    from = cut;
    while (auto reply = framer.Next()) replies.push_back(std::move(*reply));
  }
  framer.Add(bytes.substr(from));
  while (auto reply = framer.Next()) replies.push_back(std::move(*reply));
  pending = framer.PendingSize();
  return replies;
}

}  // namespace

// The first byte chooses how the rest is cut: a cut after every `data[0] % 7 + 1` bytes.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t step = data[0] % 7 + 1;
  const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::size_t> cuts;
  for (std::size_t at = step; at < bytes.size(); at += step) cuts.push_back(at);

  std::size_t whole_pending = 0;
  std::size_t cut_pending = 0;
  const auto whole = Frame(bytes, {}, whole_pending);
  const auto cut = Frame(bytes, cuts, cut_pending);
  FUZZ_CHECK(whole.size() == cut.size() && whole_pending == cut_pending);
  std::string framed;
  for (std::size_t i = 0; i < whole.size(); ++i) {
    FUZZ_CHECK(whole[i].code == cut[i].code && whole[i].text == cut[i].text);
    CheckReply(whole[i]);
    framed += whole[i].text;
  }
  // The replies are the received lines, in order, none lost or added; what waits is the rest.
  FUZZ_CHECK(whole_pending <= bytes.size());
  const std::size_t consumed = bytes.size() - whole_pending;
  FUZZ_CHECK(framed == AsFramedLines(bytes.substr(0, consumed)));
  // Whole lines wait only inside a multi-line reply that has not ended yet.
  const std::string_view waiting = bytes.substr(consumed);
  if (waiting.find('\n') != std::string_view::npos) {
    const std::string_view first = WithoutLeadingBlanksAndNul(waiting);
    FUZZ_CHECK(first.size() >= 4 && first[3] == '-');
  }
  tarvik::ScanReplyCode(bytes);
  tarvik::GetResponseInfo(bytes);
  return 0;
}
