#include "platform/fs/file_attributes.h"

#include "platform/fs/last_error.h"
#include "platform/fs/windows/system_files.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {

using system_files::Succeeded;
using system_files::TakeSystemError;
using system_files::WidePath;

DWORD GetFileAttributes(std::string_view path) {
  const ::DWORD attributes = GetFileAttributesW(WidePath(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) TakeSystemError();
  else Succeeded();
  return attributes;
}

bool GetFileAttributesEx(std::string_view path, FileAttributeData* data) {
  const std::wstring wide = WidePath(path);
  ::WIN32_FILE_ATTRIBUTE_DATA found{};
  if (!GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &found)) return TakeSystemError();
  // The volume and the file's index on it name the entry itself, whatever path reached it.
  const ::HANDLE entry = CreateFileW(wide.c_str(), 0,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  ::BY_HANDLE_FILE_INFORMATION identity{};
  const bool identified = entry != reinterpret_cast<::HANDLE>(-1) &&
                          GetFileInformationByHandle(entry, &identity);
  if (entry != reinterpret_cast<::HANDLE>(-1)) ::CloseHandle(entry);
  if (!identified) return TakeSystemError();
  if (data != nullptr) {
    const bool directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    data->attributes = found.dwFileAttributes;
    data->size = directory ? 0 : (std::uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    data->last_write_time = system_files::TimeOf(found.ftLastWriteTime);
    data->volume_serial = identity.dwVolumeSerialNumber;
    data->file_index = (std::uint64_t{identity.nFileIndexHigh} << 32) | identity.nFileIndexLow;
  }
  return Succeeded();
}

bool SetFileAttributes(std::string_view path, DWORD attributes) {
  const std::wstring wide = WidePath(path);
  const ::DWORD current = GetFileAttributesW(wide.c_str());
  if (current == INVALID_FILE_ATTRIBUTES) return TakeSystemError();
  // Only the read-only state changes; the other bits stay as the system has them.
  const ::DWORD wanted = (current & ~::DWORD{FILE_ATTRIBUTE_READONLY}) |
                         (attributes & FILE_ATTRIBUTE_READONLY);
  if (!SetFileAttributesW(wide.c_str(), wanted)) return TakeSystemError();
  return Succeeded();
}

}  // namespace tarvik::platform
