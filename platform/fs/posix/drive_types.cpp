#include "platform/fs/drive_types.h"

#include <limits.h>
#include <stdlib.h>

#include <array>
#include <fstream>
#include <sstream>
#include <vector>

#include "platform/fs/drive_table.h"
#include "platform/fs/posix/mount_table.h"

namespace tarvik::platform {
namespace {

struct MountEntry {
  std::string device;
  std::string mount_point;
  std::string type;
};

// A field of the mount table with its octal escapes ("\040" for a blank) decoded.
std::string Unescaped(std::string_view field) {
  std::string text;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' && field[i + 1] <= '3') {
      text += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                (field[i + 3] - '0'));
      i += 3;
    } else {
      text += field[i];
    }
  }
  return text;
}

std::vector<MountEntry> ParseMounts(std::string_view mounts) {
  std::vector<MountEntry> entries;
  std::istringstream lines{std::string(mounts)};
  for (std::string line; std::getline(lines, line);) {
    std::istringstream fields(line);
    std::string device, mount_point, type;
    if (fields >> device >> mount_point >> type)
      entries.push_back({Unescaped(device), Unescaped(mount_point), type});
  }
  return entries;
}

// Whether `mount_point` is `path` or a folder above it.
bool Contains(std::string_view mount_point, std::string_view path) {
  if (mount_point == "/") return true;
  return path.starts_with(mount_point) &&
         (path.size() == mount_point.size() || path[mount_point.size()] == '/');
}

unsigned TypeOfFileSystem(const MountEntry& mount, const RemovableDeviceTest& removable) {
  static constexpr std::array<std::string_view, 11> kNetwork = {
      "nfs", "nfs4", "cifs", "smb3", "smbfs", "ncpfs", "afs", "ceph", "glusterfs", "9p", "davfs"};
  static constexpr std::array<std::string_view, 3> kNetworkFuse = {"fuse.sshfs", "fuse.davfs2",
                                                                   "fuse.rclone"};
  for (std::string_view type : kNetwork) {
    if (mount.type == type) return DRIVE_REMOTE;
  }
  for (std::string_view type : kNetworkFuse) {
    if (mount.type == type) return DRIVE_REMOTE;
  }
  if (mount.type == "tmpfs" || mount.type == "ramfs") return DRIVE_RAMDISK;
  if (mount.type == "iso9660" || mount.type == "udf") return DRIVE_CDROM;
  if (mount.device.starts_with("/dev/") && removable && removable(mount.device))
    return DRIVE_REMOVABLE;
  return DRIVE_FIXED;
}

bool FileSaysOne(const std::string& path) {
  std::ifstream in(path);
  char flag = 0;
  return in >> flag && flag == '1';
}

// The system's removable flag of a block device, or of the disk that holds the partition.
bool SystemDeviceIsRemovable(std::string_view device) {
  char resolved[PATH_MAX];
  const std::string path(device);
  const std::string real = realpath(path.c_str(), resolved) != nullptr ? resolved : path;
  const std::string name = real.substr(real.rfind('/') + 1);
  const std::string block = "/sys/class/block/" + name;
  return FileSaysOne(block + "/removable") || FileSaysOne(block + "/../removable");
}

std::string SystemMounts() {
  std::ifstream in("/proc/self/mounts");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

unsigned DriveTypeByMounts(std::string_view real_path, std::string_view mounts,
                           const RemovableDeviceTest& removable) {
  const MountEntry* best = nullptr;
  const std::vector<MountEntry> entries = ParseMounts(mounts);
  for (const MountEntry& entry : entries) {
    if (Contains(entry.mount_point, real_path) &&
        (best == nullptr || entry.mount_point.size() >= best->mount_point.size())) {
      best = &entry;
    }
  }
  return best != nullptr ? TypeOfFileSystem(*best, removable) : DRIVE_UNKNOWN;
}

DWORD GetLogicalDrives() {
  DWORD mask = 0;
  for (const DriveMapping& drive : DriveTable()) mask |= DWORD{1} << (drive.letter - 'A');
  return mask;
}

unsigned GetDriveType(std::string_view root) {
  const bool drive_form =
      (root.size() == 2 || (root.size() == 3 && (root[2] == '\\' || root[2] == '/'))) &&
      root[1] == ':';
  if (!drive_form) return DRIVE_NO_ROOT_DIR;
  const std::optional<std::string> folder = DriveHostRoot(root[0]);
  char resolved[PATH_MAX];
  if (!folder || realpath(folder->c_str(), resolved) == nullptr) return DRIVE_NO_ROOT_DIR;
  return DriveTypeByMounts(resolved, SystemMounts(), SystemDeviceIsRemovable);
}

}  // namespace tarvik::platform
