// Win32 system error codes of the file services. The values are those of the Windows API, so that
// callers and the error texts keyed by number carry over unchanged. The registry's codes
// (ERROR_SUCCESS, ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_INVALID_HANDLE, ...) come from
// platform/registry/error_codes.h; only the codes the registry does not define are added here.
#pragma once

#include <cstdint>

#include "platform/registry/error_codes.h"

namespace tarvik::platform {

using DWORD = std::uint32_t;

inline constexpr long ERROR_INVALID_FUNCTION = 1;
inline constexpr long ERROR_PATH_NOT_FOUND = 3;  // a folder on the way does not exist
inline constexpr long ERROR_TOO_MANY_OPEN_FILES = 4;
inline constexpr long ERROR_NO_MORE_FILES = 18;      // directory search has no more entries
inline constexpr long ERROR_GEN_FAILURE = 31;        // any failure without a closer code
inline constexpr long ERROR_SHARING_VIOLATION = 32;  // another handle's sharing mode forbids it
inline constexpr long ERROR_LOCK_VIOLATION = 33;
inline constexpr long ERROR_HANDLE_EOF = 38;
inline constexpr long ERROR_BAD_NETPATH = 53;    // "\\server" that is not known
inline constexpr long ERROR_BAD_NET_NAME = 67;   // "\\server\share" whose share is not known
inline constexpr long ERROR_FILE_EXISTS = 80;    // CREATE_NEW on an existing file
inline constexpr long ERROR_INVALID_NAME = 123;  // malformed, relative or non-UTF-8 path
inline constexpr long ERROR_NEGATIVE_SEEK = 131;
inline constexpr long ERROR_DIR_NOT_EMPTY = 145;
inline constexpr long ERROR_ALREADY_EXISTS = 183;        // folder exists; or set by a successful
                                                         // CREATE_ALWAYS / OPEN_ALWAYS on a file
inline constexpr long ERROR_FILENAME_EXCED_RANGE = 206;  // path or name too long
inline constexpr long ERROR_FILE_TOO_LARGE = 223;        // past the process's file size limit
inline constexpr long ERROR_DIRECTORY = 267;             // a folder was needed
inline constexpr long ERROR_IO_DEVICE = 1117;
inline constexpr long ERROR_CANT_RESOLVE_FILENAME = 1921;  // symbolic-link loop

}  // namespace tarvik::platform
