// Reading a response header: the status line, header values, the announced length, and the title
// of an HTML page that reports an error in place of the file.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik {

struct StatusLine {
  int code = 0;
  std::string reason;
};

// The first line that begins with "HTTP/" (any case), else the first line, after its first blank:
// "206 Partial Content" gives 206 and "Partial Content". Raises NumberedError 18000 with that rest
// as the description when it holds no blank or no number before it.
StatusLine GetStatusLine(std::string_view header);

// The value of header `name` (matched without regard to case, at the start of a line), trimmed;
// nullopt when the header has no such line.
std::optional<std::string> GetHeaderValue(std::string_view header, std::string_view name);

// The Content-Length; 0 when there is none. A value that is not a whole number shows a message box
// ("GetFileSizeFromHead" and the reason) and also gives 0.
double GetFileSizeFromHead(std::string_view header);

// For an HTML response (Content-Type text/html) whose <title> contains "wrong", "error",
// "invalid" or "出错" (without regard to case): the title, trimmed. Otherwise "".
std::string GetHtmlErrorTitle(std::string_view header, std::string_view body);

// The first byte position of a "Content-Range: bytes FIRST-LAST/TOTAL" value, and its total
// ("*" or absent: nullopt).
struct ContentRange {
  std::optional<double> first;
  std::optional<double> total;
};
ContentRange ParseContentRange(std::string_view value);

}  // namespace tarvik
