// Deleting files and creating folders by Windows path (DeleteFile / CreateDirectory).
// Every call sets the thread's last error (platform/fs/last_error.h) and none throws.
#pragma once

#include <string_view>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

// Deletes the file `path`. The name (last component) may hold "*" and "?": every matching file of
// the folder is deleted, hidden ones included, folders never. Fails with ERROR_FILE_NOT_FOUND
// when nothing matches, ERROR_PATH_NOT_FOUND when the folder is missing, ERROR_ACCESS_DENIED for
// a folder or a read-only file, ERROR_SHARING_VIOLATION while a handle denies deletion. With a
// wildcard, a file that cannot be deleted does not stop the others; the call then fails with the
// reason of the last such file.
bool DeleteFile(std::string_view path);

// Creates the folder `path`. ERROR_ALREADY_EXISTS when something of that name exists,
// ERROR_PATH_NOT_FOUND when its parent folder is missing, ERROR_ACCESS_DENIED for a root.
bool CreateDirectory(std::string_view path);

inline constexpr DWORD MOVEFILE_REPLACE_EXISTING = 0x1;

// Gives the file `from` the path `to` in one step: a reader of `to` sees the old file or the new
// one, never a part. With MOVEFILE_REPLACE_EXISTING an existing file `to` is replaced, else the
// call fails with ERROR_ALREADY_EXISTS. ERROR_FILE_NOT_FOUND when `from` is missing.
bool MoveFileEx(std::string_view from, std::string_view to, DWORD flags);

}  // namespace tarvik::platform
