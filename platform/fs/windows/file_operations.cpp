#include "platform/fs/file_operations.h"

#include <string>

#include "platform/fs/directory_search.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "platform/fs/name_rules.h"
#include "platform/fs/windows/system_files.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

using system_files::Succeeded;
using system_files::TakeSystemError;
using system_files::WidePath;

// Deletes every file of the folder that matches the name pattern at the end of `path`.
bool DeleteMatching(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  const std::string folder(path.substr(0, slash + 1));
  FindData found;
  const HANDLE search = FindFirstFile(path, &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  DWORD failure = ERROR_SUCCESS;
  do {
    if ((found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
    if (!DeleteFileW(WidePath(folder + found.name).c_str())) failure = ::GetLastError();
  } while (FindNextFile(search, &found));
  FindClose(search);
  SetLastError(failure);
  return failure == ERROR_SUCCESS;
}

}  // namespace

bool DeleteFile(std::string_view path) {
  const std::size_t slash = path.find_last_of("\\/");
  if (HasWildcards(path.substr(slash == std::string_view::npos ? 0 : slash + 1)))
    return DeleteMatching(path);
  if (!DeleteFileW(WidePath(path).c_str())) return TakeSystemError();
  return Succeeded();
}

bool CreateDirectory(std::string_view path) {
  if (!CreateDirectoryW(WidePath(path).c_str(), nullptr)) return TakeSystemError();
  return Succeeded();
}

bool MoveFileEx(std::string_view from, std::string_view to, DWORD flags) {
  if (!MoveFileExW(WidePath(from).c_str(), WidePath(to).c_str(), flags)) return TakeSystemError();
  return Succeeded();
}

}  // namespace tarvik::platform
