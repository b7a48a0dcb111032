// The Win32 error codes (platform/fs/file_errors.h) of this system's errno values.
#pragma once

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

// The Win32 code for a POSIX errno value (ENOENT -> ERROR_FILE_NOT_FOUND, EACCES ->
// ERROR_ACCESS_DENIED, ...); ERROR_GEN_FAILURE for values without a counterpart.
DWORD Win32ErrorFromErrno(int error);

}  // namespace tarvik::platform
