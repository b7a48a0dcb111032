// Scrambled credentials: a host that does not want a server name, user name or password to
// appear in its page writes them scrambled, and the control decodes them just before use.
//
// The scrambled form "ab" <key> (<length> <run>)* "yz" carries each plain character as the
// decimal digits of its character code, every digit written as a letter relative to the key:
// a run letter of code c stands for the digit c - key + 5, and a length letter of code l says
// that l - 110 run letters follow (at least 2). Example with the key 'f', whose digits are the
// letters 'a' (0) to 'j' (9), and 'p'/'q' announcing runs of 2/3:
//   "ab" "f" "p" "hc" "q" "bag" "yz"  ->  codes 72, 105  ->  "Hi"
// Two formats exist; the second decodes as the first in this build.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// Decodes `scrambled` into the bytes of the plain text in the system ANSI code page (codes above
// 255 become a lead and a trail byte). Anything malformed gives "" rather than an error:
// missing marks, a run shorter than 2 or cut short, a letter that is no digit, a code of 0 or
// above 255 with a trail byte of 0 (a NUL would end the command line early), or above 65535.
std::string DecodeScrambledAnsi(std::string_view scrambled);

}  // namespace tarvik
