// Directory search by Windows path pattern (FindFirstFile / FindNextFile / FindClose): on Windows
// the system's own search; on Linux as follows.
//
// The pattern is a path whose last component may hold "*" and "?" (platform/fs/name_rules.h);
// names match without regard to case. The search lists every entry, hidden ones included, and,
// in a folder other than a drive or share root, "." and ".." when the pattern matches them, as
// NTFS does. Entries come in name order ("." and ".." first, then without regard to case). The
// folder is read once, when the search starts.
//
// Host entries that no Windows path could name are left out: names that are not UTF-8 or that
// contain characters Windows forbids in names (such as ":" or "\").
//
// Every call sets the thread's last error (platform/fs/last_error.h) and none throws.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/file_handles.h"

namespace tarvik::platform {

// One entry found.
struct FindData {
  DWORD attributes = 0;  // FILE_ATTRIBUTE_* (platform/fs/file_attributes.h)
  DWORD size_high = 0;   // size in bytes, high 32 bits
  DWORD size_low = 0;    // size in bytes, low 32 bits
  std::chrono::system_clock::time_point last_write_time;  // time of the last change
  std::string name;                                       // the entry's name, without its folder

  std::uint64_t Size() const { return (std::uint64_t{size_high} << 32) | size_low; }
};

// Starts a search and fills *data with the first entry. INVALID_HANDLE_VALUE on failure:
// ERROR_FILE_NOT_FOUND (nothing matches, or the pattern ends in "\"), ERROR_PATH_NOT_FOUND (the
// folder does not exist), or a path refusal.
HANDLE FindFirstFile(std::string_view pattern, FindData* data);

// The next entry; false with ERROR_NO_MORE_FILES after the last one.
bool FindNextFile(HANDLE search, FindData* data);

// Ends a search; ERROR_INVALID_HANDLE for anything but a search handle.
bool FindClose(HANDLE search);

// The entries of host folder `host_folder` matching `pattern`, as a search lists them. For the
// file services of this folder.
std::vector<FindData> ListHostFolder(const std::string& host_folder, std::string_view pattern,
                                     bool include_dot_entries);

}  // namespace tarvik::platform
