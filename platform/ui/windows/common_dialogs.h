// The system's open, save and folder dialogs, modal to the thread's active window, and the text
// conversions around them.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/ui/ui_provider.h"

namespace tarvik::platform {

// The path chosen; nullopt when the dialog is cancelled or cannot open (the headless answer).
std::optional<std::string> ShowOpenDialog(const FileDialogRequest& request);
std::optional<std::string> ShowSaveDialog(const FileDialogRequest& request);
std::optional<std::string> ShowFolderDialog(const FolderDialogRequest& request);

// "Text (*.txt)|*.txt|All|*.*" as the dialogs take it: the parts ended by zero characters and the
// list by one more; an empty filter offers every file.
std::wstring FilterList(std::string_view filter);

// What an open dialog hands back in its buffer: one full path, or (several files chosen) the
// folder and then the names, each ended by a zero character. Several become full paths joined by
// "|"; a name that already is a full path is taken as it is.
std::string ChosenFiles(const wchar_t* buffer);

}  // namespace tarvik::platform
