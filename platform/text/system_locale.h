// What each system says about the user's text settings, for the services of platform/text.
#pragma once

#include <string>

namespace tarvik::platform {

// The system's own ANSI code page (before TARVIK_ACP is considered): GetACP() on Windows, the code
// page of the process locale on Linux.
unsigned SystemAnsiCodePage();

// The thousands separator of the user's numeric settings; empty when they set none.
std::string ThousandsSeparatorOfUserLocale();

}  // namespace tarvik::platform
