// The pieces of UTF-8 that the code page conversions of every system share.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace tarvik::platform::utf8 {

// Length of the well-formed UTF-8 sequence at the start of `text`, 0 when there is none.
std::size_t SequenceLength(std::string_view text);

// The code point of a well-formed sequence of `length` bytes.
unsigned CodePointOf(std::string_view text, std::size_t length);

// Appends the UTF-8 form of `code_point` (below U+10000).
void AppendUtf8(std::string& out, unsigned code_point);

// Well-formed UTF-8 of `text`, each byte of a malformed sequence replaced by `replacement`.
std::string Sanitized(std::string_view text, std::string_view replacement);

}  // namespace tarvik::platform::utf8
