// Files opened by Windows path, with the Win32 CreateFile / ReadFile / WriteFile / SetFilePointerEx
// / GetFileSize / CloseHandle calls: the system's wide-character calls on Windows; on Linux, paths
// translated as platform/fs/path_translation.h says and sharing modes as below.
// Every call sets the thread's last error (platform/fs/last_error.h) and none throws.
//
// Sharing modes. A handle's access (read, write) and the sharing it grants (read, write, delete)
// are published as shared advisory locks (open-file-description locks) on five bytes far beyond
// any real file size: one each for "reading", "writing", "denies reading", "denies writing" and
// "denies delete". Before a new handle takes its locks it checks the published ones, and refuses
// with ERROR_SHARING_VIOLATION as Windows would: asking to read where another handle denies
// reading, or denying writing where another handle writes, and so on. Because the locks belong to
// each open file, this holds between handles of one process and between processes that use this
// layer; programs that do not take these locks are not restrained. Checking and locking are two
// steps, so two processes opening at the same instant may both succeed. On a file system without
// advisory locks the handle opens without the check.
//
// Read-only files (no owner write bit) refuse write access with ERROR_ACCESS_DENIED, also for a
// process that the host would let write them (e.g. root), as a Windows read-only file would.
#pragma once

#include <cstdint>
#include <string_view>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

using HANDLE = std::intptr_t;
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;

// Access rights.
inline constexpr DWORD GENERIC_READ = 0x80000000u;
inline constexpr DWORD GENERIC_WRITE = 0x40000000u;
// Sharing granted to other handles.
inline constexpr DWORD FILE_SHARE_READ = 0x1;
inline constexpr DWORD FILE_SHARE_WRITE = 0x2;
inline constexpr DWORD FILE_SHARE_DELETE = 0x4;
// Creation dispositions.
inline constexpr DWORD CREATE_NEW = 1;         // fails with ERROR_FILE_EXISTS when it exists
inline constexpr DWORD CREATE_ALWAYS = 2;      // creates or truncates
inline constexpr DWORD OPEN_EXISTING = 3;      // fails with ERROR_FILE_NOT_FOUND when missing
inline constexpr DWORD OPEN_ALWAYS = 4;        // opens or creates
inline constexpr DWORD TRUNCATE_EXISTING = 5;  // opens and truncates; needs GENERIC_WRITE
// Seek origins.
inline constexpr DWORD FILE_BEGIN = 0;
inline constexpr DWORD FILE_CURRENT = 1;
inline constexpr DWORD FILE_END = 2;

inline constexpr DWORD INVALID_FILE_SIZE = 0xFFFFFFFFu;

// Opens or creates the file `path`. `attributes` matters only for a new file: with
// FILE_ATTRIBUTE_READONLY (platform/fs/file_attributes.h) it is created read-only. Returns
// INVALID_HANDLE_VALUE on failure: ERROR_PATH_NOT_FOUND (missing folder), ERROR_FILE_NOT_FOUND,
// ERROR_FILE_EXISTS, ERROR_ACCESS_DENIED (a folder, a read-only file opened for writing),
// ERROR_SHARING_VIOLATION, ERROR_INVALID_PARAMETER (unknown disposition), or a path refusal.
// A CREATE_ALWAYS or OPEN_ALWAYS that found the file succeeds with ERROR_ALREADY_EXISTS.
HANDLE CreateFile(std::string_view path, DWORD access, DWORD share_mode, DWORD disposition,
                  DWORD attributes = 0);

// Reads up to `size` bytes at the file pointer; fewer only at the end of the file (0 at the end,
// which is a success). ERROR_ACCESS_DENIED on a handle without read access.
bool ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read);

// Writes all `size` bytes at the file pointer. ERROR_ACCESS_DENIED on a handle without write
// access, ERROR_DISK_FULL when the disk is full (the bytes that fitted are counted in *written).
bool WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written);

// Moves the file pointer; *new_position (may be null) receives the new offset from the start.
// ERROR_NEGATIVE_SEEK before the start, ERROR_INVALID_PARAMETER for an unknown origin.
bool SetFilePointerEx(HANDLE file, std::int64_t distance, std::int64_t* new_position, DWORD origin);

// Cuts the file off at the file pointer (or lengthens it with zeros up to it).
// ERROR_ACCESS_DENIED on a handle without write access.
bool SetEndOfFile(HANDLE file);

// The file's size. GetFileSize returns the low 32 bits and stores the high ones in *high (may be
// null); on failure it returns INVALID_FILE_SIZE with the last error set (a size whose low part
// is 0xFFFFFFFF returns it with ERROR_SUCCESS, as on Windows).
bool GetFileSizeEx(HANDLE file, std::int64_t* size);
DWORD GetFileSize(HANDLE file, DWORD* high);

// The number of names the open file has (GetFileInformationByHandle's nNumberOfLinks). It is 0
// once every name was deleted, which a process outside this layer may do while the file is open.
bool GetFileLinkCount(HANDLE file, DWORD* links);

// Closes a handle from CreateFile; ERROR_INVALID_HANDLE for any other value.
bool CloseHandle(HANDLE file);

// True when some open handle (of any process using this layer) refuses to share deletion of the
// host file `host_path`. Used by DeleteFile.
bool IsDeleteDenied(const char* host_path);

}  // namespace tarvik::platform
