// Linux paths turned into the drive paths the control works with.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "host/local_paths.h"
#include "platform/fs/drive_table.h"

namespace tarvik::host {
namespace {

class LocalPathsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-host-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "c" / "data");
    const std::string drives = "C=" + (root_ / "c").string() + ";Z=/";
    setenv("TARVIK_DRIVES", drives.c_str(), 1);
    platform::ReloadDriveTable();
  }
  void TearDown() override {
    unsetenv("TARVIK_DRIVES");
    platform::ReloadDriveTable();
    std::filesystem::remove_all(root_);
  }
  std::string C(const std::string& relative) const { return (root_ / "c" / relative).string(); }

  std::filesystem::path root_;
};

TEST_F(LocalPathsTest, TurnsLinuxPathsIntoDrivePaths) {
  std::string error;
  EXPECT_EQ(ToDrivePaths(C("data/a.txt"), &error), "C:\\data\\a.txt") << error;
  // The longest matching drive wins; elsewhere Z: (the whole file system) holds the path.
  EXPECT_EQ(ToDrivePaths("/etc/hostname", &error), "Z:\\etc\\hostname") << error;
}

TEST_F(LocalPathsTest, KeepsAFolderItemsTrailingSeparator) {
  std::string error;
  EXPECT_EQ(ToDrivePaths(C("data") + "/", &error), "C:\\data\\") << error;
}

TEST_F(LocalPathsTest, TurnsEachPieceOfAPathList) {
  std::string error;
  EXPECT_EQ(ToDrivePaths(C("data/a.txt") + "|C:\\b.txt|" + C("data") + "/", &error),
            "C:\\data\\a.txt|C:\\b.txt|C:\\data\\")
      << error;
}

TEST_F(LocalPathsTest, LeavesDrivePathsAndRelativeTextsAlone) {
  std::string error;
  for (const char* text : {"C:\\x\\y.txt", "relative/name", "", "\\\\server\\share\\f"}) {
    EXPECT_EQ(ToDrivePaths(text, &error), text) << error;
  }
}

TEST_F(LocalPathsTest, PathOutsideEveryDriveIsAnError) {
  setenv("TARVIK_DRIVES", ("C=" + C("")).c_str(), 1);
  platform::ReloadDriveTable();
  std::string error;
  EXPECT_EQ(ToDrivePaths("/etc/hostname", &error), std::nullopt);
  EXPECT_NE(error.find("/etc/hostname"), std::string::npos) << error;
}

TEST(LocalPathMembersTest, OnlyLocalPathAndTheLocalMethodsTakeLocalPaths) {
  for (const char* name : {"LocalPath", "localpath", "LocalFileRead", "LocalFolderCreate",
                           "GetLocalFileSize", "GetLocalFileList"}) {
    EXPECT_TRUE(TakesLocalPaths(name)) << name;
  }
  for (const char* name : {"RemotePath", "GetFileList", "DeleteFile", "GetFileName", "Connect"}) {
    EXPECT_FALSE(TakesLocalPaths(name)) << name;
  }
}

}  // namespace
}  // namespace tarvik::host
