// Small text routines of the listing parser. They work on bytes and fold ASCII letters only, so
// that a position found in a folded view is the same position in the text as received.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tarvik::listing_text {

inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// True when `text` equals `lower` (which is already lower-case) ignoring ASCII letter case.
bool EqualsLowerAscii(std::string_view text, std::string_view lower);

// The numeric value of a column: optional blanks, an optional sign, digits with an optional
// fraction and exponent. nullopt for anything else (letters, "inf", an empty column).
std::optional<double> ParseNumber(std::string_view text);

// A whole number written with decimal digits only (1 to 9 of them); nullopt otherwise.
std::optional<int> ParseDigits(std::string_view text);

// `text` made fit for one log line: at most `max_bytes` bytes (cut at a character boundary and
// marked), control characters shown as "?" except line breaks when `keep_line_breaks` is set.
std::string LogExcerpt(std::string_view text, std::size_t max_bytes, bool keep_line_breaks);

}  // namespace tarvik::listing_text
