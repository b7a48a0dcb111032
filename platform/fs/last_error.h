// The calling thread's last system error, as the Win32 GetLastError/SetLastError pair keeps it.
// Every file service of this folder sets it: the reason of a failure, ERROR_SUCCESS (0) after a
// success (ERROR_ALREADY_EXISTS after a CREATE_ALWAYS / OPEN_ALWAYS that found the file).
#pragma once

#include <string>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

DWORD GetLastError();
void SetLastError(DWORD error);

// The system's text for a file-system error code, as FormatMessage gives it (for example 2:
// "The system cannot find the file specified."); "" for codes this layer never sets.
std::string FormatSystemMessage(DWORD error);

}  // namespace tarvik::platform
