// Starting the registration tool from another program, as a setup program does with
// "regsvr32 /s <library>": in the background, without a console, not waited for.
#pragma once

#include <string>
#include <vector>

namespace tarvik::platform {

// Starts regsvr32 with `args`, its standard streams on /dev/null. The tool is the "regsvr32"
// beside the running program, else the first one on PATH. False when it cannot be started.
bool StartRegistrationTool(const std::vector<std::string>& args);

}  // namespace tarvik::platform
