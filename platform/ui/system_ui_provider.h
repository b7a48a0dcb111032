// The provider answering when the host has installed none: on Windows the system's message boxes
// and common dialogs and the library's own replace and rename dialogs, each falling back to the
// headless answer when no window can open (a session without a display); elsewhere the headless
// provider.
#pragma once

#include "platform/ui/ui_provider.h"

namespace tarvik::platform {

UiProvider& SystemUiProvider();

}  // namespace tarvik::platform
