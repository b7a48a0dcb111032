#include "platform/fs/directory_search.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "platform/fs/name_rules.h"
#include "platform/fs/path_translation.h"
#include "platform/text/case_fold.h"
#include "platform/text/code_page.h"

namespace tarvik::platform {
namespace {

struct Search {
  std::vector<FindData> entries;  // everything the search found
  std::size_t next = 0;           // index of the entry FindNextFile returns
};

std::mutex& SearchesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<HANDLE, Search>& Searches() {
  static std::map<HANDLE, Search> searches;
  return searches;
}

// Search handles count down from far below zero so that they never equal a file handle.
HANDLE NewSearchHandle() {
  static HANDLE next = -0x10000;
  return next--;
}

bool FillEntry(const std::string& host_folder, std::string_view name, FindData& data) {
  const std::string host_path =
      host_folder + (host_folder.back() == '/' ? "" : "/") + std::string(name);
  struct stat info {};
  // A symbolic link shows as what it points to; a dangling one as the link itself.
  if (stat(host_path.c_str(), &info) != 0 && lstat(host_path.c_str(), &info) != 0) return false;
  const bool is_directory = S_ISDIR(info.st_mode);
  data.attributes = AttributesOfHostEntry(name, is_directory, (info.st_mode & S_IWUSR) != 0);
  const auto size = is_directory ? std::uint64_t{0} : static_cast<std::uint64_t>(info.st_size);
  data.size_high = static_cast<DWORD>(size >> 32);
  data.size_low = static_cast<DWORD>(size & 0xFFFFFFFFu);
  data.last_write_time = std::chrono::system_clock::time_point{
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::seconds{info.st_mtim.tv_sec} +
          std::chrono::nanoseconds{info.st_mtim.tv_nsec})};
  data.name = std::string(name);
  return true;
}

bool IsNameable(std::string_view name) {
  return name == "." || name == ".." || (IsValidUtf8(name) && IsValidEntryName(name));
}

}  // namespace

std::vector<FindData> ListHostFolder(const std::string& host_folder, std::string_view pattern,
                                     bool include_dot_entries) {
  std::vector<FindData> entries;
  DIR* dir = opendir(host_folder.c_str());
  if (dir == nullptr) return entries;
  while (const dirent* entry = readdir(dir)) {
    const std::string_view name = entry->d_name;
    const bool dot_entry = name == "." || name == "..";
    if ((dot_entry && !include_dot_entries) || !IsNameable(name)) continue;
    if (!MatchesWildcard(name, pattern)) continue;
    FindData data;
    if (FillEntry(host_folder, name, data)) entries.push_back(std::move(data));
  }
  closedir(dir);
  std::sort(entries.begin(), entries.end(), [](const FindData& a, const FindData& b) {
    const bool a_dots = a.name == "." || a.name == "..";
    const bool b_dots = b.name == "." || b.name == "..";
    if (a_dots != b_dots) return a_dots;
    const int order = CompareIgnoreCase(a.name, b.name);
    return order != 0 ? order < 0 : a.name < b.name;
  });
  return entries;
}

HANDLE FindFirstFile(std::string_view pattern, FindData* data) {
  const TranslatedPath target = TranslatePath(pattern, true);
  DWORD error = target.error;
  if (error == ERROR_SUCCESS && (target.is_root || target.trailing_separator))
    error = ERROR_FILE_NOT_FOUND;
  else if (error == ERROR_SUCCESS && !target.parent_exists)
    error = ERROR_PATH_NOT_FOUND;
  if (error != ERROR_SUCCESS) {
    SetLastError(error);
    return INVALID_HANDLE_VALUE;
  }
  const std::string folder =
      target.host_path.substr(0, target.host_path.size() - target.name.size());
  Search search;
  search.entries = ListHostFolder(folder, target.name, target.depth > 1);
  if (search.entries.empty()) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  if (data != nullptr) *data = search.entries.front();
  search.next = 1;
  std::lock_guard lock(SearchesMutex());
  const HANDLE handle = NewSearchHandle();
  Searches()[handle] = std::move(search);
  SetLastError(ERROR_SUCCESS);
  return handle;
}

bool FindNextFile(HANDLE search, FindData* data) {
  std::lock_guard lock(SearchesMutex());
  const auto found = Searches().find(search);
  if (found == Searches().end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  Search& state = found->second;
  if (state.next >= state.entries.size()) {
    SetLastError(ERROR_NO_MORE_FILES);
    return false;
  }
  if (data != nullptr) *data = state.entries[state.next];
  ++state.next;
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool FindClose(HANDLE search) {
  std::lock_guard lock(SearchesMutex());
  if (Searches().erase(search) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  SetLastError(ERROR_SUCCESS);
  return true;
}

}  // namespace tarvik::platform
