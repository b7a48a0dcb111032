#include "platform/fs/file_operations.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

#include "platform/fs/directory_search.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "platform/fs/posix/errno_mapping.h"
#include "platform/fs/name_rules.h"
#include "platform/fs/path_translation.h"

namespace tarvik::platform {
namespace {

bool Fail(DWORD error) {
  SetLastError(error);
  return false;
}

// Deletes one host file, with the Windows refusals; ERROR_SUCCESS or the reason.
DWORD DeleteHostFile(const std::string& host_path) {
  struct stat info {};
  if (lstat(host_path.c_str(), &info) != 0) return Win32ErrorFromErrno(errno);
  if (S_ISDIR(info.st_mode)) return ERROR_ACCESS_DENIED;
  if (!S_ISLNK(info.st_mode) && !(info.st_mode & S_IWUSR)) return ERROR_ACCESS_DENIED;
  if (S_ISREG(info.st_mode) && IsDeleteDenied(host_path.c_str())) return ERROR_SHARING_VIOLATION;
  if (unlink(host_path.c_str()) != 0) return Win32ErrorFromErrno(errno);
  return ERROR_SUCCESS;
}

}  // namespace

bool DeleteFile(std::string_view path) {
  const TranslatedPath target = TranslatePath(path, true);
  if (target.error != ERROR_SUCCESS) return Fail(target.error);
  if (target.is_root) return Fail(ERROR_ACCESS_DENIED);
  if (target.trailing_separator) return Fail(ERROR_INVALID_NAME);
  if (!target.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);

  if (!HasWildcards(target.name)) {
    const DWORD error = DeleteHostFile(target.host_path);
    return error == ERROR_SUCCESS ? (SetLastError(ERROR_SUCCESS), true) : Fail(error);
  }
  const std::string folder =
      target.host_path.substr(0, target.host_path.size() - target.name.size());
  bool matched = false;
  DWORD last_failure = ERROR_SUCCESS;
  for (const FindData& entry : ListHostFolder(folder, target.name, false)) {
    if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    matched = true;
    if (const DWORD error = DeleteHostFile(folder + entry.name); error != ERROR_SUCCESS)
      last_failure = error;
  }
  if (!matched) return Fail(ERROR_FILE_NOT_FOUND);
  if (last_failure != ERROR_SUCCESS) return Fail(last_failure);
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool CreateDirectory(std::string_view path) {
  const TranslatedPath target = TranslatePath(path);
  if (target.error != ERROR_SUCCESS) return Fail(target.error);
  if (target.is_root) return Fail(ERROR_ACCESS_DENIED);
  if (!target.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);
  if (mkdir(target.host_path.c_str(), 0777) != 0)
    return Fail(errno == EEXIST ? ERROR_ALREADY_EXISTS : Win32ErrorFromErrno(errno));
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool MoveFileEx(std::string_view from, std::string_view to, DWORD flags) {
  const TranslatedPath source = TranslatePath(from);
  if (source.error != ERROR_SUCCESS) return Fail(source.error);
  const TranslatedPath target = TranslatePath(to);
  if (target.error != ERROR_SUCCESS) return Fail(target.error);
  if (!target.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);
  struct stat info {};
  if (lstat(source.host_path.c_str(), &info) != 0) return Fail(ERROR_FILE_NOT_FOUND);
  if (!(flags & MOVEFILE_REPLACE_EXISTING) && lstat(target.host_path.c_str(), &info) == 0)
    return Fail(ERROR_ALREADY_EXISTS);
  if (rename(source.host_path.c_str(), target.host_path.c_str()) != 0)
    return Fail(Win32ErrorFromErrno(errno));
  SetLastError(ERROR_SUCCESS);
  return true;
}

}  // namespace tarvik::platform
