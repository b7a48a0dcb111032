#include "platform/fs/file_attributes.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/fs/last_error.h"
#include "platform/fs/posix/errno_mapping.h"
#include "platform/fs/name_rules.h"
#include "platform/fs/path_translation.h"

namespace tarvik::platform {
namespace {

// Looks up `path`: the translated path and its status, or false with the last error set.
bool StatPath(std::string_view path, TranslatedPath& target, struct stat& info) {
  target = TranslatePath(path);
  if (target.error != ERROR_SUCCESS) {
    SetLastError(target.error);
    return false;
  }
  if (stat(target.host_path.c_str(), &info) != 0) {
    const int error = errno;
    SetLastError(error == ENOENT && target.parent_exists ? ERROR_FILE_NOT_FOUND
                 : error == ENOENT                       ? ERROR_PATH_NOT_FOUND
                                                         : Win32ErrorFromErrno(error));
    return false;
  }
  if (target.trailing_separator && !S_ISDIR(info.st_mode)) {
    SetLastError(ERROR_INVALID_NAME);
    return false;
  }
  return true;
}

DWORD AttributesOf(const TranslatedPath& target, const struct stat& info) {
  return AttributesOfHostEntry(target.is_root ? std::string_view() : target.name,
                               S_ISDIR(info.st_mode), (info.st_mode & S_IWUSR) != 0);
}

}  // namespace

DWORD AttributesOfHostEntry(std::string_view name, bool is_directory, bool owner_can_write) {
  DWORD attributes = 0;
  if (is_directory) attributes |= FILE_ATTRIBUTE_DIRECTORY;
  if (!owner_can_write) attributes |= FILE_ATTRIBUTE_READONLY;
  if (IsHiddenName(name)) attributes |= FILE_ATTRIBUTE_HIDDEN;
  return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

DWORD GetFileAttributes(std::string_view path) {
  TranslatedPath target;
  struct stat info {};
  if (!StatPath(path, target, info)) return INVALID_FILE_ATTRIBUTES;
  SetLastError(ERROR_SUCCESS);
  return AttributesOf(target, info);
}

bool GetFileAttributesEx(std::string_view path, FileAttributeData* data) {
  TranslatedPath target;
  struct stat info {};
  if (!StatPath(path, target, info)) return false;
  if (data != nullptr) {
    data->attributes = AttributesOf(target, info);
    data->size = S_ISDIR(info.st_mode) ? 0 : static_cast<std::uint64_t>(info.st_size);
    data->last_write_time = std::chrono::system_clock::time_point{
        std::chrono::duration_cast<std::chrono::system_clock::duration>(
            std::chrono::seconds{info.st_mtim.tv_sec} +
            std::chrono::nanoseconds{info.st_mtim.tv_nsec})};
    data->volume_serial = static_cast<std::uint64_t>(info.st_dev);
    data->file_index = static_cast<std::uint64_t>(info.st_ino);
  }
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool SetFileAttributes(std::string_view path, DWORD attributes) {
  TranslatedPath target;
  struct stat info {};
  if (!StatPath(path, target, info)) return false;
  mode_t mode = info.st_mode & 07777;
  if (attributes & FILE_ATTRIBUTE_READONLY)
    mode &= static_cast<mode_t>(~(S_IWUSR | S_IWGRP | S_IWOTH));
  else
    mode |= S_IWUSR;
  if (mode != (info.st_mode & 07777) && chmod(target.host_path.c_str(), mode) != 0) {
    SetLastError(Win32ErrorFromErrno(errno));
    return false;
  }
  SetLastError(ERROR_SUCCESS);
  return true;
}

}  // namespace tarvik::platform
