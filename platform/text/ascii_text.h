// Trimming and case changes that work on bytes and touch ASCII only: protocol words, property
// values, header names. Bytes outside ASCII (parts of UTF-8 or ANSI characters) are never changed,
// so a position found in a folded or trimmed view is the same position in the original text.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace tarvik::platform {

// The sets of characters that callers trim. Each caller names the set its input is padded with.
inline constexpr std::string_view kSpaces = " ";
inline constexpr std::string_view kSpacesAndTabs = " \t";
inline constexpr std::string_view kBlanksAndLineEnds = " \t\r\n";
// Every character the C library calls white space in the "C" locale.
inline constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";

// `text` without the leading characters that are in `set`.
constexpr std::string_view TrimLeading(std::string_view text, std::string_view set) {
  const std::size_t first = text.find_first_not_of(set);
  return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// `text` without the trailing characters that are in `set`.
constexpr std::string_view TrimTrailing(std::string_view text, std::string_view set) {
  const std::size_t last = text.find_last_not_of(set);
  return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

// `text` without the characters of `set` at either end.
constexpr std::string_view Trim(std::string_view text, std::string_view set) {
  return TrimTrailing(TrimLeading(text, set), set);
}

constexpr char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr char UpperAscii(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

inline std::string ToLowerAscii(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), LowerAscii);
  return result;
}

inline std::string ToUpperAscii(std::string_view text) {
  std::string result(text);
  std::transform(result.begin(), result.end(), result.begin(), UpperAscii);
  return result;
}

// True when the texts are equal once ASCII letters are folded.
constexpr bool EqualsIgnoreAsciiCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace tarvik::platform
