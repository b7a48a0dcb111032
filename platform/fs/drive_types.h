// The drives as GetLogicalDrives and GetDriveTypeA see them. On Windows these are the system's
// own drives. On Linux they are the drives of the drive table (platform/fs/drive_table.h), typed
// by their mounts (platform/fs/posix/mount_table.h). A letter without a drive is
// DRIVE_NO_ROOT_DIR.
#pragma once

#include <string_view>

#include "platform/fs/file_errors.h"

namespace tarvik::platform {

inline constexpr unsigned DRIVE_UNKNOWN = 0;
inline constexpr unsigned DRIVE_NO_ROOT_DIR = 1;
inline constexpr unsigned DRIVE_REMOVABLE = 2;
inline constexpr unsigned DRIVE_FIXED = 3;
inline constexpr unsigned DRIVE_REMOTE = 4;
inline constexpr unsigned DRIVE_CDROM = 5;
inline constexpr unsigned DRIVE_RAMDISK = 6;

// Bit 0 for A: up to bit 25 for Z:, set for every drive of the table.
DWORD GetLogicalDrives();

// The type of the drive `root` names ("C:", "C:\" or "c:/"); DRIVE_NO_ROOT_DIR for anything else.
unsigned GetDriveType(std::string_view root);

}  // namespace tarvik::platform
