// File attributes by Windows path (GetFileAttributes / SetFileAttributes / GetFileAttributesEx).
//
// On Windows the attributes are the system's own. How the Linux stand-in keeps them:
//   FILE_ATTRIBUTE_READONLY   the owner's write bit is clear
//   FILE_ATTRIBUTE_HIDDEN     the name begins with "." (it follows the name and cannot be set)
//   FILE_ATTRIBUTE_DIRECTORY  a folder
//   FILE_ATTRIBUTE_NORMAL     a file with none of the above
// Every call sets the thread's last error (platform/fs/last_error.h) and none throws.
#pragma once

#include <chrono>
#include <cstdint>
#include <string_view>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

inline constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x01;
inline constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x02;
inline constexpr DWORD FILE_ATTRIBUTE_SYSTEM = 0x04;  // never reported here
inline constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
inline constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;  // accepted by SetFileAttributes, not kept
inline constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
inline constexpr DWORD INVALID_FILE_ATTRIBUTES = 0xFFFFFFFFu;

// What GetFileAttributesEx reports about one file or folder.
struct FileAttributeData {
  DWORD attributes = 0;                                   // FILE_ATTRIBUTE_* as above
  std::uint64_t size = 0;                                 // bytes (0 for a folder)
  std::chrono::system_clock::time_point last_write_time;  // time of the last change
  // Which file or folder it is (the volume and the file's index on it): two paths with the same
  // pair name the same entry, as a folder reached again through a symbolic link does.
  std::uint64_t volume_serial = 0;
  std::uint64_t file_index = 0;
};

// The attributes of `path`, or INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND (a folder on the way is missing) or a path refusal. A file named with a
// trailing "\" gives ERROR_INVALID_NAME.
DWORD GetFileAttributes(std::string_view path);

// Attributes, size and time of the last change of `path`; false with the last error as above.
bool GetFileAttributesEx(std::string_view path, FileAttributeData* data);

// Sets the read-only state of `path` from FILE_ATTRIBUTE_READONLY (clearing it gives the owner
// write access back). The other bits are accepted and ignored. False with the last error as above.
bool SetFileAttributes(std::string_view path, DWORD attributes);

// The attributes of a host entry already found (for the directory search).
DWORD AttributesOfHostEntry(std::string_view name, bool is_directory, bool owner_can_write);

}  // namespace tarvik::platform
