// Drive types read from a mount table: which mount holds a folder, and what its file system is.
#include "platform/fs/drive_types.h"
#include "platform/fs/posix/mount_table.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

constexpr char kMounts[] =
    "/dev/vda1 / ext4 rw,relatime 0 0\n"
    "tmpfs /run tmpfs rw 0 0\n"
    "server:/export /mnt/nfs nfs4 rw 0 0\n"
    "//box/share /mnt/my\\040share cifs rw 0 0\n"
    "user@host:/ /mnt/ssh fuse.sshfs rw 0 0\n"
    "/dev/sr0 /media/cd iso9660 ro 0 0\n"
    "/dev/sdb1 /media/stick vfat rw 0 0\n"
    "/dev/vda1 /mnt/nfs/local ext4 rw 0 0\n"  // a disk mounted inside the share
    "tmpfs /srv tmpfs rw 0 0\n"
    "/dev/vda2 /srv ext4 rw 0 0\n";  // mounted over the tmpfs: the later mount counts

TEST(DriveTypesTest, TheMountHoldingTheFolderDecides) {
  const RemovableDeviceTest removable = [](std::string_view device) {
    return device == "/dev/sdb1";
  };
  struct Row {
    const char* folder;
    unsigned type;
  };
  const Row rows[] = {
      {"/home/user", DRIVE_FIXED},          {"/", DRIVE_FIXED},
      {"/run/user/1000", DRIVE_RAMDISK},    {"/runner", DRIVE_FIXED},  // not below /run
      {"/mnt/nfs/data", DRIVE_REMOTE},      {"/mnt/nfs/local/x", DRIVE_FIXED},
      {"/mnt/my share/docs", DRIVE_REMOTE},  // an escaped blank in the mount point
      {"/mnt/ssh", DRIVE_REMOTE},           {"/media/cd/disc", DRIVE_CDROM},
      {"/media/stick", DRIVE_REMOVABLE},    {"/srv/c", DRIVE_FIXED},
  };
  for (const Row& row : rows)
    EXPECT_EQ(DriveTypeByMounts(row.folder, kMounts, removable), row.type) << row.folder;
  EXPECT_EQ(DriveTypeByMounts("/home", "", removable), DRIVE_UNKNOWN);
}

TEST(DriveTypesTest, RootsOutsideTheTableHaveNoRootFolder) {
  for (const char* root : {"", "C", "C:\\x", "CC:", "?:"})
    EXPECT_EQ(GetDriveType(root), DRIVE_NO_ROOT_DIR) << root;
}

}  // namespace
}  // namespace tarvik::platform
