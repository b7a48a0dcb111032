// The message box of the error path: OK only, empty title, shown through the platform's user
// interface provider (headless by default; a host or a test installs its own).
#pragma once

#include <string_view>

namespace tarvik {

void ShowErrorBox(std::string_view text);

}  // namespace tarvik
