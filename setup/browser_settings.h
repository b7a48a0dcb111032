// The browser settings that let web pages host the control: the safe-for-scripting and
// safe-for-initialisation categories of each class, the per-class ActiveX list that allows every
// site, and, where the zone keys exist, zone values that let the Internet and Trusted sites zones
// run it without asking.
#pragma once

#include <string_view>

namespace tarvik::setup {

// The control's class and the second class given the same settings.
inline constexpr std::string_view kControlClassId = "{31AE647D-11D1-4E6A-BE2D-90157640019A}";
inline constexpr std::string_view kSecondClassId = "{127698e4-e730-4e5c-a2b1-21490a70c8a1}";

// Writes the settings; false when a key could not be created (the zone values never fail it).
bool ApplyBrowserSettings();

}  // namespace tarvik::setup
