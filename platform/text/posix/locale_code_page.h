// The code page of the process locale: the code set that LC_ALL, LC_CTYPE or LANG name, as any
// Linux program reads it. This is the system ANSI code page unless TARVIK_ACP says otherwise.
#pragma once

#include <string_view>

namespace tarvik::platform {

// UTF-8, and the C and POSIX locales (ASCII, a subset of UTF-8), give 65001; a legacy code set
// its Windows code page (ISO-8859-1 -> 1252, GBK and GB2312 -> 936, ISO-8859-5 -> 28595, ...);
// a locale that is not installed counts as the C locale; a code set without a Windows code page
// this system converts gives 1252.
unsigned LocaleCodePage();

// The Windows code page of a code set name as nl_langinfo(CODESET) gives it.
unsigned CodePageOfCodeSet(std::string_view code_set);

}  // namespace tarvik::platform
