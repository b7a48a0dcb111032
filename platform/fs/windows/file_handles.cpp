#include "platform/fs/file_handles.h"

#include "platform/fs/last_error.h"
#include "platform/fs/windows/system_files.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

using system_files::Succeeded;
using system_files::TakeSystemError;
using system_files::WidePath;

::HANDLE Native(HANDLE file) {
  return reinterpret_cast<::HANDLE>(file);
}

// The result of a call that sets the system's last error only on failure.
bool Result(::BOOL succeeded) {
  return succeeded ? Succeeded() : TakeSystemError();
}

}  // namespace

HANDLE CreateFile(std::string_view path, DWORD access, DWORD share_mode, DWORD disposition,
                  DWORD attributes) {
  const ::HANDLE file =
      CreateFileW(WidePath(path).c_str(), access, share_mode, nullptr, disposition,
                  attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes, nullptr);
  // The system sets ERROR_ALREADY_EXISTS or ERROR_SUCCESS on success as well.
  SetLastError(::GetLastError());
  return file == reinterpret_cast<::HANDLE>(-1) ? INVALID_HANDLE_VALUE
                                                : reinterpret_cast<HANDLE>(file);
}

bool ReadFile(HANDLE file, void* buffer, DWORD size, DWORD* read) {
  ::DWORD done = 0;
  const ::BOOL succeeded = ::ReadFile(Native(file), buffer, size, &done, nullptr);
  if (read != nullptr) *read = done;
  return Result(succeeded);
}

bool WriteFile(HANDLE file, const void* buffer, DWORD size, DWORD* written) {
  ::DWORD done = 0;
  const ::BOOL succeeded = ::WriteFile(Native(file), buffer, size, &done, nullptr);
  if (written != nullptr) *written = done;
  return Result(succeeded);
}

bool SetFilePointerEx(HANDLE file, std::int64_t distance, std::int64_t* new_position,
                      DWORD origin) {
  ::LARGE_INTEGER move{}, position{};
  move.QuadPart = distance;
  const ::BOOL succeeded = ::SetFilePointerEx(Native(file), move, &position, origin);
  if (succeeded && new_position != nullptr) *new_position = position.QuadPart;
  return Result(succeeded);
}

bool SetEndOfFile(HANDLE file) {
  return Result(::SetEndOfFile(Native(file)));
}

bool GetFileSizeEx(HANDLE file, std::int64_t* size) {
  ::LARGE_INTEGER found{};
  const ::BOOL succeeded = ::GetFileSizeEx(Native(file), &found);
  if (succeeded && size != nullptr) *size = found.QuadPart;
  return Result(succeeded);
}

DWORD GetFileSize(HANDLE file, DWORD* high) {
  std::int64_t size = 0;
  if (!GetFileSizeEx(file, &size)) return INVALID_FILE_SIZE;
  if (high != nullptr) *high = static_cast<DWORD>(static_cast<std::uint64_t>(size) >> 32);
  return static_cast<DWORD>(size & 0xFFFFFFFF);
}

bool GetFileLinkCount(HANDLE file, DWORD* links) {
  ::BY_HANDLE_FILE_INFORMATION information{};
  const ::BOOL succeeded = GetFileInformationByHandle(Native(file), &information);
  if (succeeded && links != nullptr) *links = information.nNumberOfLinks;
  return Result(succeeded);
}

bool CloseHandle(HANDLE file) {
  if (file == INVALID_HANDLE_VALUE) {
    SetLastError(ERROR_INVALID_HANDLE);
    return false;
  }
  return Result(::CloseHandle(Native(file)));
}

bool IsDeleteDenied(const char* host_path) {
  const ::HANDLE probe =
      CreateFileW(WidePath(host_path).c_str(), DELETE,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                  FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (probe != reinterpret_cast<::HANDLE>(-1)) {
    ::CloseHandle(probe);
    return false;
  }
  return ::GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace tarvik::platform
