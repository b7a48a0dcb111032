#include "platform/fs/file_handles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "platform/fs/posix/errno_mapping.h"
#include "platform/fs/path_translation.h"

namespace tarvik::platform {
namespace {

// The bytes whose locks publish a handle's access and sharing (see the header).
constexpr off_t kLockBase = 0x7FFF'FFFF'FFFF'FF00;
enum class ShareLock : off_t {
  kReading = 0,
  kWriting = 1,
  kDeniesReading = 2,
  kDeniesWriting = 3,
  kDeniesDelete = 4,
};

struct OpenFile {
  int lock_fd = -1;  // descriptor holding the sharing locks: the file's own, or a second one
  DWORD access = 0;  // GENERIC_READ / GENERIC_WRITE
};

std::mutex& HandlesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::map<HANDLE, OpenFile>& Handles() {
  static std::map<HANDLE, OpenFile> handles;
  return handles;
}

std::optional<OpenFile> Lookup(HANDLE file) {
  std::lock_guard lock(HandlesMutex());
  const auto found = Handles().find(file);
  if (found == Handles().end()) return std::nullopt;
  return found->second;
}

flock LockRecord(ShareLock which, short type) {
  flock record{};
  record.l_type = type;
  record.l_whence = SEEK_SET;
  record.l_start = kLockBase + static_cast<off_t>(which);
  record.l_len = 1;
  return record;
}

// True when another open file holds a lock on `which`. Unknown (no lock support) reads as false.
bool IsHeldElsewhere(int fd, ShareLock which) {
  flock record = LockRecord(which, F_WRLCK);
  if (fcntl(fd, F_OFD_GETLK, &record) != 0) return false;
  return record.l_type != F_UNLCK;
}

void Publish(int fd, ShareLock which) {
  flock record = LockRecord(which, F_RDLCK);
  fcntl(fd, F_OFD_SETLK, &record);  // without lock support the handle simply stays unpublished
}

// Checks the sharing of other handles against this one's and publishes this one's.
bool ClaimSharing(int fd, DWORD access, DWORD share) {
  const bool reads = (access & GENERIC_READ) != 0;
  const bool writes = (access & GENERIC_WRITE) != 0;
  if ((reads && IsHeldElsewhere(fd, ShareLock::kDeniesReading)) ||
      (writes && IsHeldElsewhere(fd, ShareLock::kDeniesWriting)) ||
      (!(share & FILE_SHARE_READ) && IsHeldElsewhere(fd, ShareLock::kReading)) ||
      (!(share & FILE_SHARE_WRITE) && IsHeldElsewhere(fd, ShareLock::kWriting)))
    return false;
  if (reads) Publish(fd, ShareLock::kReading);
  if (writes) Publish(fd, ShareLock::kWriting);
  if (!(share & FILE_SHARE_READ)) Publish(fd, ShareLock::kDeniesReading);
  if (!(share & FILE_SHARE_WRITE)) Publish(fd, ShareLock::kDeniesWriting);
  if (!(share & FILE_SHARE_DELETE)) Publish(fd, ShareLock::kDeniesDelete);
  return true;
}

HANDLE Fail(DWORD error) {
  SetLastError(error);
  return INVALID_HANDLE_VALUE;
}

bool FailBool(DWORD error) {
  SetLastError(error);
  return false;
}

// The reason a call on the open descriptor `fd` failed with `error`.
DWORD DescriptorError(int error) {
  return error == EBADF ? ERROR_ACCESS_DENIED : Win32ErrorFromErrno(error);
}

}  // namespace

HANDLE CreateFile(std::string_view path, DWORD access, DWORD share_mode, DWORD disposition,
                  DWORD attributes) {
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
      (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE)))
    return Fail(ERROR_INVALID_PARAMETER);
  const TranslatedPath target = TranslatePath(path);
  if (target.error != ERROR_SUCCESS) return Fail(target.error);
  if (target.is_root) return Fail(ERROR_ACCESS_DENIED);
  if (!target.parent_exists) return Fail(ERROR_PATH_NOT_FOUND);

  struct stat info {};
  const bool exists = stat(target.host_path.c_str(), &info) == 0;
  if (exists && S_ISDIR(info.st_mode)) return Fail(ERROR_ACCESS_DENIED);
  if (target.trailing_separator) return Fail(ERROR_INVALID_NAME);
  if (!exists && (disposition == OPEN_EXISTING || disposition == TRUNCATE_EXISTING))
    return Fail(ERROR_FILE_NOT_FOUND);
  if (exists && disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
  const bool truncates =
      exists && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
  if (exists && !(info.st_mode & S_IWUSR) && ((access & GENERIC_WRITE) || truncates))
    return Fail(ERROR_ACCESS_DENIED);

  const bool reads = (access & GENERIC_READ) != 0;
  const bool writes = (access & GENERIC_WRITE) != 0 || truncates;
  int flags = O_CLOEXEC | (reads && writes ? O_RDWR : writes ? O_WRONLY : O_RDONLY);
  if (!exists) flags |= O_CREAT | O_EXCL;
  const mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
  const int fd = open(target.host_path.c_str(), flags, mode);
  if (fd < 0) {
    // Someone else created it since the check: report it as the disposition would.
    if (errno == EEXIST && disposition == CREATE_NEW) return Fail(ERROR_FILE_EXISTS);
    return Fail(Win32ErrorFromErrno(errno));
  }

  // Read locks need a readable descriptor; a write-only handle keeps a second one for them.
  int lock_fd = fd;
  if (!reads) lock_fd = open(target.host_path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (lock_fd >= 0 && !ClaimSharing(lock_fd, access, share_mode)) {
    if (lock_fd != fd) close(lock_fd);
    close(fd);
    if (!exists) unlink(target.host_path.c_str());
    return Fail(ERROR_SHARING_VIOLATION);
  }
  if (truncates && ftruncate(fd, 0) != 0) {
    const int error = errno;
    if (lock_fd >= 0 && lock_fd != fd) close(lock_fd);
    close(fd);
    return Fail(Win32ErrorFromErrno(error));
  }
  {
    std::lock_guard lock(HandlesMutex());
    Handles()[fd] = OpenFile{lock_fd, access};
  }
  const bool found_existing =
      exists && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
  SetLastError(found_existing ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
  return fd;
}

bool ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  if (read != nullptr) *read = 0;
  const auto open_file = Lookup(file);
  if (!open_file) return FailBool(ERROR_INVALID_HANDLE);
  if (!(open_file->access & GENERIC_READ)) return FailBool(ERROR_ACCESS_DENIED);
  DWORD total = 0;
  auto* bytes = static_cast<char*>(buffer);
  while (total < size) {
    const ssize_t got = ::read(static_cast<int>(file), bytes + total, size - total);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FailBool(DescriptorError(errno));
    if (got == 0) break;
    total += static_cast<DWORD>(got);
    if (read != nullptr) *read = total;
  }
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) {
  if (written != nullptr) *written = 0;
  const auto open_file = Lookup(file);
  if (!open_file) return FailBool(ERROR_INVALID_HANDLE);
  if (!(open_file->access & GENERIC_WRITE)) return FailBool(ERROR_ACCESS_DENIED);
  DWORD total = 0;
  const auto* bytes = static_cast<const char*>(buffer);
  while (total < size) {
    const ssize_t put = ::write(static_cast<int>(file), bytes + total, size - total);
    if (put < 0 && errno == EINTR) continue;
    if (put < 0) return FailBool(DescriptorError(errno));
    total += static_cast<DWORD>(put);
    if (written != nullptr) *written = total;
  }
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool SetFilePointerEx(HANDLE file, std::int64_t distance, std::int64_t* new_position,
                      DWORD origin) {
  if (!Lookup(file)) return FailBool(ERROR_INVALID_HANDLE);
  if (origin > FILE_END) return FailBool(ERROR_INVALID_PARAMETER);
  const int whence = origin == FILE_BEGIN ? SEEK_SET : origin == FILE_CURRENT ? SEEK_CUR : SEEK_END;
  const off_t position = lseek(static_cast<int>(file), static_cast<off_t>(distance), whence);
  if (position < 0)
    return FailBool(errno == EINVAL ? ERROR_NEGATIVE_SEEK : Win32ErrorFromErrno(errno));
  if (new_position != nullptr) *new_position = position;
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool SetEndOfFile(HANDLE file) {
  if (!Lookup(file)) return FailBool(ERROR_INVALID_HANDLE);
  const int fd = static_cast<int>(file);
  const off_t position = lseek(fd, 0, SEEK_CUR);
  if (position < 0 || ftruncate(fd, position) != 0) return FailBool(DescriptorError(errno));
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool GetFileSizeEx(HANDLE file, std::int64_t* size) {
  if (!Lookup(file)) return FailBool(ERROR_INVALID_HANDLE);
  struct stat info {};
  if (fstat(static_cast<int>(file), &info) != 0) return FailBool(Win32ErrorFromErrno(errno));
  if (size != nullptr) *size = info.st_size;
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool GetFileLinkCount(HANDLE file, DWORD* links) {
  if (!Lookup(file)) return FailBool(ERROR_INVALID_HANDLE);
  struct stat info {};
  if (fstat(static_cast<int>(file), &info) != 0) return FailBool(Win32ErrorFromErrno(errno));
  if (links != nullptr) *links = static_cast<DWORD>(info.st_nlink);
  SetLastError(ERROR_SUCCESS);
  return true;
}

DWORD GetFileSize(HANDLE file, DWORD* high) {
  std::int64_t size = 0;
  if (!GetFileSizeEx(file, &size)) return INVALID_FILE_SIZE;
  if (high != nullptr) *high = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
  return static_cast<DWORD>(static_cast<std::uint64_t>(size) & 0xFFFFFFFFu);
}

bool CloseHandle(HANDLE file) {
  OpenFile open_file;
  {
    std::lock_guard lock(HandlesMutex());
    const auto found = Handles().find(file);
    if (found == Handles().end()) return FailBool(ERROR_INVALID_HANDLE);
    open_file = found->second;
    Handles().erase(found);
  }
  if (open_file.lock_fd >= 0 && open_file.lock_fd != file) close(open_file.lock_fd);
  close(static_cast<int>(file));
  SetLastError(ERROR_SUCCESS);
  return true;
}

bool IsDeleteDenied(const char* host_path) {
  const int fd = open(host_path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool denied = IsHeldElsewhere(fd, ShareLock::kDeniesDelete);
  close(fd);
  return denied;
}

}  // namespace tarvik::platform
