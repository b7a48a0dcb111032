// The library's own questions as dialog windows: the replace dialog (window class
// "frmReplaceSetting") and the rename dialog ("frmReName"), modal to the thread's active window.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/ui_provider.h"

namespace tarvik::platform {

// The button pressed (kReplaceCancel..kReplaceSkipAll; closing the window is Cancel), or nullopt
// when the window cannot open.
std::optional<int> ShowReplaceDialog(const ReplaceDialogRequest& request);

// Whether the window could open; if so, `typed` is the name field's text after OK, or nullopt
// after Cancel.
bool ShowRenameDialog(const RenameDialogRequest& request, std::optional<std::string>& typed);

}  // namespace tarvik::platform
