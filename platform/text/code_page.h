// Conversion between UTF-8 (the library's internal text) and the byte encodings of Windows code
// pages, as the Win32 MultiByteToWideChar / WideCharToMultiByte pair does, with UTF-8 in place of
// UTF-16.
//
// The "system ANSI code page" is read on first use: the environment variable TARVIK_ACP (a code
// page number: 1252 Western European, 936 Simplified Chinese (GBK), 65001 UTF-8), else the
// system's own: on Windows GetACP(), on Linux the code page of the process locale
// (platform/text/posix/locale_code_page.h: 65001 for a UTF-8, C or POSIX locale). A TARVIK_ACP
// that is not a number or names a code page this system cannot convert is ignored.
//
// Invalid input never fails a conversion; it is replaced, as the Win32 calls do without their
// strict flags:
//   - decoding (bytes -> UTF-8): a byte that does not start a valid character becomes U+FFFD;
//   - encoding (UTF-8 -> bytes): a character the code page lacks, and each byte of malformed UTF-8,
//     becomes "?".
// In code page 1252 the five bytes the code page leaves unassigned (0x81 0x8D 0x8F 0x90 0x9D)
// decode to the control characters of the same number and encode back, so any byte string
// survives the round trip through text.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::platform {

inline constexpr unsigned kCodePageAnsi = 0;  // "the system ANSI code page" (CP_ACP)
inline constexpr unsigned kCodePageUtf8 = 65001;
// The code page of a legacy code set without a Windows counterpart: every byte survives it.
inline constexpr unsigned kDefaultAnsiCodePage = 1252;

// The system ANSI code page (see above).
unsigned AnsiCodePage();

// Replaces the system ANSI code page. 0 reads TARVIK_ACP again. Returns false, changing nothing,
// for a code page that cannot be converted.
bool SetAnsiCodePage(unsigned code_page);

// True when text in `code_page` can be converted (0 and 65001 always can).
bool IsKnownCodePage(unsigned code_page);

// True when `text` is well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view text);

// Bytes in `code_page` -> UTF-8, and back. nullopt only for a code page that cannot be converted.
std::optional<std::string> MultiByteToUtf8(std::string_view bytes, unsigned code_page);
std::optional<std::string> Utf8ToMultiByte(std::string_view text, unsigned code_page);

// The same for the system ANSI code page, which is always convertible.
std::string AnsiToUtf8(std::string_view bytes);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace tarvik::platform
