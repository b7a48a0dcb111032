#include "platform/fs/drive_types.h"

#include "platform/win32/windows_api.h"

namespace tarvik::platform {

DWORD GetLogicalDrives() {
  return ::GetLogicalDrives();
}

unsigned GetDriveType(std::string_view root) {
  const bool drive_form =
      (root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) &&
      root[1] == ':';
  if (!drive_form) return DRIVE_NO_ROOT_DIR;
  const wchar_t path[] = {static_cast<wchar_t>(root[0]), L':', L'\\', L'\0'};
  return GetDriveTypeW(path);
}

}  // namespace tarvik::platform
