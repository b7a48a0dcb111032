#include "platform/fs/known_folders.h"

#include <gtest/gtest.h>

#include "platform/registry/registry.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using KnownFoldersTest = testing::DriveSandbox;

TEST_F(KnownFoldersTest, SystemFoldersExistOnDriveC) {
  EXPECT_EQ(GetSystemDirectory(), "C:\\windows\\system32");
  EXPECT_TRUE(std::filesystem::is_directory(C("windows/system32")));
  EXPECT_EQ(GetProgramFilesDirectory(), "C:\\Program Files");
  EXPECT_TRUE(std::filesystem::is_directory(C("Program Files")));
}

TEST_F(KnownFoldersTest, TempFolderIsTheHostsWhenADriveHoldsIt) {
  std::filesystem::create_directories(C("tmp"));
  setenv("TMPDIR", C("tmp/").c_str(), 1);
  EXPECT_EQ(GetTempPath(), "C:\\tmp\\");
  setenv("TMPDIR", "/nowhere/on/any/drive", 1);
  EXPECT_EQ(GetTempPath(), "C:\\windows\\temp\\");
  EXPECT_TRUE(std::filesystem::is_directory(C("windows/temp")));
}

TEST_F(KnownFoldersTest, DocumentsAreSeededInTheRegistryOnFirstUse) {
  setenv("USER", "alice", 1);
  EXPECT_EQ(GetDocumentsFolder(), "C:\\users\\alice\\Documents");
  EXPECT_TRUE(std::filesystem::is_directory(C("users/alice/Documents")));
  std::string stored;
  ASSERT_EQ(ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, kDocumentsValueName, &stored),
            ERROR_SUCCESS);
  EXPECT_EQ(stored, "C:\\users\\alice\\Documents");
}

TEST_F(KnownFoldersTest, DocumentsFollowTheRegistryValue) {
  ASSERT_EQ(
      WriteRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, kDocumentsValueName, "D:\\My Files"),
      ERROR_SUCCESS);
  EXPECT_EQ(GetDocumentsFolder(), "D:\\My Files");
  EXPECT_FALSE(std::filesystem::exists(root_ / "d/My Files"));  // a set value is not created
}

TEST_F(KnownFoldersTest, UserNameFallsBackWhenUnusable) {
  setenv("USER", "bad/name", 1);
  const std::string name = GetUserName();
  EXPECT_NE(name, "bad/name");
  EXPECT_FALSE(name.empty());
}

}  // namespace
}  // namespace tarvik::platform
