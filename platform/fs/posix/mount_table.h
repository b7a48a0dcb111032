// How the Linux stand-in types the drives of the drive table.
//
// A drive's type is the type of the file system that holds its host folder, read from the mount
// table (/proc/self/mounts): the mount whose mount point is the longest leading part of the
// folder's real path (the last one mounted when several share a mount point) decides.
//   DRIVE_REMOTE     network file systems: nfs, nfs4, cifs, smb3, smbfs, ncpfs, afs, ceph,
//                    glusterfs, 9p, and FUSE ones such as fuse.sshfs, fuse.davfs2, fuse.rclone
//   DRIVE_RAMDISK    tmpfs, ramfs
//   DRIVE_CDROM      iso9660, udf
//   DRIVE_REMOVABLE  a block device the system marks removable (/sys/class/block/<dev>/removable,
//                    or that of the disk holding the partition)
//   DRIVE_FIXED      anything else
// A drive whose folder does not exist is DRIVE_NO_ROOT_DIR, as is a letter not in the table.
#pragma once

#include <functional>
#include <string_view>

namespace tarvik::platform {

// Whether the block device `device` (a path such as "/dev/sdb1") is removable.
using RemovableDeviceTest = std::function<bool(std::string_view device)>;

// The drive type of the existing folder `real_path` (already resolved) by the mount table text
// `mounts` (lines as in /proc/self/mounts) and `removable`.
unsigned DriveTypeByMounts(std::string_view real_path, std::string_view mounts,
                           const RemovableDeviceTest& removable);

}  // namespace tarvik::platform
