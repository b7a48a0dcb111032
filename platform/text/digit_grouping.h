// The user's digit-group separator, as number patterns such as "#,###" write it.
//
// It is the thousands separator of the user's settings (on Windows the user's locale, on Linux the
// numeric locale of LC_ALL, LC_NUMERIC or LANG), read once; "," when that locale sets none (as the C and POSIX locales do) or cannot be loaded. A
// host or a test may replace it with SetDigitGroupSeparator.
#pragma once

#include <string>
#include <string_view>

namespace tarvik::platform {

std::string DigitGroupSeparator();

// Replaces the separator; an empty argument reads the user's locale again.
void SetDigitGroupSeparator(std::string_view separator);

// The digits of `digits` (a run of decimal digits) in groups of three from the right, joined by
// the user's separator: "1234567" -> "1,234,567".
std::string GroupDigits(std::string_view digits);

}  // namespace tarvik::platform
