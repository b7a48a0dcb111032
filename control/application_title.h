// The title of the library's own application object: it captions the library's message boxes,
// and a host reads and writes it through the Title property of any control.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

inline constexpr std::string_view kDefaultApplicationTitle = "FTP ActiveX Control";

std::string ApplicationTitle();
void SetApplicationTitle(std::string_view title);

// Shows an information box with OK only, captioned with the application title.
void ShowMessage(std::string_view text);

}  // namespace tarvik
