#include "local/path_rules.h"

#include <algorithm>

#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// Folds runs of `separator` to one; a run where `keep_double` says so becomes two.
template <typename KeepDouble>
std::string FoldSeparators(std::string_view text, char separator, KeepDouble keep_double) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] != separator) {
      out += text[i++];
      continue;
    }
    std::size_t run = 0;
    while (i + run < text.size() && text[i + run] == separator) ++run;
    out.append(run >= 2 && keep_double(std::string_view(out)) ? 2 : 1, separator);
    i += run;
  }
  return out;
}

}  // namespace

std::string FormatLocalPath(std::string_view path) {
  std::string text(platform::Trim(path, platform::kSpaces));
  std::replace(text.begin(), text.end(), '/', '\\');
  return FoldSeparators(
      text, '\\', [](std::string_view before) { return before.empty() || before.back() == '|'; });
}

std::string FormatFtpPath(std::string_view path) {
  std::string text(platform::Trim(path, platform::kSpaces));
  std::replace(text.begin(), text.end(), '\\', '/');
  return FoldSeparators(text, '/', [](std::string_view before) {
    return EndsWith(before, "http:") || EndsWith(before, "https:");
  });
}

std::string GetParentPath(std::string_view path) {
  std::string text(platform::Trim(path, platform::kSpaces));
  const bool network = text.size() >= 2 && text[0] == '\\' && text[1] == '\\';
  text = FoldSeparators(text, '/', [](std::string_view) { return false; });
  text = FoldSeparators(text, '\\',
                        [network](std::string_view before) { return network && before.empty(); });
  if (!text.empty() && (text.back() == '/' || text.back() == '\\')) text.pop_back();
  // Positions below are 0-based: "after the first character" is index 1 or later.
  const std::size_t backslash = text.rfind('\\');
  if (backslash != std::string::npos && backslash >= 1) return text.substr(0, backslash + 1);
  const std::size_t slash = text.rfind('/');
  if (slash != std::string::npos && slash >= 1) return text.substr(0, slash + 1);
  return {};
}

std::string GetFileName(std::string_view path) {
  std::string text = FormatLocalPath(path);
  if (text.empty()) return {};
  if (text.back() == '\\') text.pop_back();
  const std::size_t last = text.rfind('\\');
  return last == std::string::npos ? text : text.substr(last + 1);
}

std::string GetFileNameWithoutExt(std::string_view path) {
  std::string name = GetFileName(path);
  const std::size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name;
}

std::string GetFileExtension(std::string_view path) {
  const std::string text(platform::Trim(path, platform::kSpaces));
  const std::size_t dot = text.rfind('.');
  return dot == std::string::npos ? std::string() : text.substr(dot + 1);
}

bool IsAbsoluteLocalPath(std::string_view path) {
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') return true;
  return path.size() >= 2 && path[1] == ':' && (path.size() == 2 || path[2] == '\\');
}

double Long2Size(std::int32_t high, std::int32_t low) {
  const auto unsigned_low = static_cast<std::uint32_t>(low);
  return static_cast<double>(high) * 4294967296.0 + static_cast<double>(unsigned_low);
}

}  // namespace tarvik
