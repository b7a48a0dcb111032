// Comparison of UTF-8 text without regard to case, as the automation runtime's text comparison
// and Windows file names treat it.
//
// Simple case folding covers ASCII, Latin-1, Latin Extended-A, basic Greek and Cyrillic; other
// characters compare exactly. Malformed bytes are compared as themselves, so every input has a
// place in the order.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::platform {

// `text` with every letter folded to lower case (malformed bytes kept as they are).
std::string FoldCase(std::string_view text);

// The folded code points of `text`; a malformed byte b becomes 0x110000 + b (outside Unicode), so
// it equals nothing but itself.
std::u32string FoldedCodePoints(std::string_view text);

// True when the texts are equal without regard to case.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Orders the texts without regard to case, by folded code point: negative when `a` comes first,
// 0 when they are equal without regard to case, positive when `b` comes first.
int CompareIgnoreCase(std::string_view a, std::string_view b);

}  // namespace tarvik::platform
