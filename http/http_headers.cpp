#include "http/http_headers.h"

#include <algorithm>
#include <cctype>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "platform/text/ascii_text.h"
#include "platform/ui/ui_provider.h"

namespace tarvik {
namespace {

bool IsWholeNumber(std::string_view text) {
  return !text.empty() && text.size() <= 18 &&
         std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

StatusLine GetStatusLine(std::string_view header) {
  std::string_view line = header.substr(0, header.find("\r\n"));
  for (std::size_t at = 0; at < header.size();) {
    const std::size_t end = std::min(header.find("\r\n", at), header.size());
    const std::string_view candidate = header.substr(at, end - at);
    if (platform::ToLowerAscii(candidate.substr(0, 5)) == "http/") {
      line = candidate;
      break;
    }
    at = end + 2;
  }
  const std::size_t blank = line.find(' ');
  const std::string rest(blank == std::string_view::npos ? std::string_view()
                                                         : line.substr(blank + 1));
  const std::size_t second = rest.find(' ');
  const std::string code = rest.substr(0, second);
  if (!IsWholeNumber(code) || code.size() != 3)
    Raise(ErrorCode::kHttpHeaderError, rest.empty() ? "Header Error" : rest);
  StatusLine status;
  status.code = std::stoi(code);
  status.reason = second == std::string::npos
                      ? ""
                      : platform::Trim(rest.substr(second + 1), platform::kBlanksAndLineEnds);
  return status;
}

std::optional<std::string> GetHeaderValue(std::string_view header, std::string_view name) {
  const std::string wanted = platform::ToLowerAscii(name) + ":";
  for (std::size_t at = 0; at < header.size();) {
    const std::size_t end = std::min(header.find("\r\n", at), header.size());
    const std::string_view line = header.substr(at, end - at);
    if (platform::ToLowerAscii(line.substr(0, wanted.size())) == wanted) {
      return std::string(platform::Trim(line.substr(wanted.size()), platform::kBlanksAndLineEnds));
    }
    at = end + 2;
  }
  return std::nullopt;
}

double GetFileSizeFromHead(std::string_view header) {
  const std::optional<std::string> value = GetHeaderValue(header, "Content-Length");
  if (!value) return 0;
  if (!IsWholeNumber(*value)) {
    platform::MessageBox("GetFileSizeFromHead\r\nType mismatch: [ " + *value + " ]", "",
                         platform::MB_OK);
    return 0;
  }
  return std::stod(*value);
}

std::string GetHtmlErrorTitle(std::string_view header, std::string_view body) {
  const std::optional<std::string> type = GetHeaderValue(header, "Content-Type");
  if (!type || platform::ToLowerAscii(*type).rfind("text/html", 0) != 0) return {};
  const std::string lower = platform::ToLowerAscii(body);
  const std::size_t open = lower.find("<title>");
  if (open == std::string::npos) return {};
  const std::size_t close = lower.find("</title>", open);
  if (close == std::string::npos) return {};
  const std::string title(body.substr(open + 7, close - open - 7));
  const std::string lower_title = platform::ToLowerAscii(title);
  const bool error_words = lower_title.find("wrong") != std::string::npos ||
                           lower_title.find("error") != std::string::npos ||
                           lower_title.find("invalid") != std::string::npos ||
                           title.find("出错") != std::string::npos;
  return error_words ? std::string(platform::Trim(title, platform::kBlanksAndLineEnds))
                     : std::string();
}

ContentRange ParseContentRange(std::string_view value) {
  ContentRange range;
  std::string text(platform::Trim(value, platform::kBlanksAndLineEnds));
  if (platform::ToLowerAscii(text).rfind("bytes ", 0) != 0) return range;
  text = platform::Trim(text.substr(6), platform::kBlanksAndLineEnds);
  const std::size_t dash = text.find('-');
  const std::size_t slash = text.find('/');
  if (dash != std::string::npos && dash < slash && IsWholeNumber(text.substr(0, dash))) {
    range.first = std::stod(text.substr(0, dash));
  }
  if (slash != std::string::npos && IsWholeNumber(text.substr(slash + 1))) {
    range.total = std::stod(text.substr(slash + 1));
  }
  return range;
}

}  // namespace tarvik
