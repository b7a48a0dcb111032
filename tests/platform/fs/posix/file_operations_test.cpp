#include "platform/fs/file_operations.h"

#include <gtest/gtest.h>

#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using FileOperationsTest = testing::DriveSandbox;

TEST_F(FileOperationsTest, DeletesOneFile) {
  MakeFile("dir/File.txt");
  EXPECT_TRUE(DeleteFile("C:\\DIR\\file.TXT"));
  EXPECT_FALSE(std::filesystem::exists(C("dir/File.txt")));
  EXPECT_FALSE(DeleteFile("C:\\dir\\File.txt"));
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
  EXPECT_FALSE(DeleteFile("C:\\nodir\\File.txt"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(DeleteFile("C:\\dir"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_TRUE(std::filesystem::exists(C("dir")));
  EXPECT_FALSE(DeleteFile("C:\\"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(DeleteFile(""));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileOperationsTest, ReadOnlyFilesAreNotDeleted) {
  MakeFile("ro.txt", "keep");
  ASSERT_TRUE(SetFileAttributes("C:\\ro.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFile("C:\\ro.txt"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_EQ(ReadHostFile(C("ro.txt")), "keep");
}

TEST_F(FileOperationsTest, WildcardsDeleteEveryMatchingFile) {
  MakeFile("dir/a.tmp");
  MakeFile("dir/B.TMP");
  MakeFile("dir/.hidden.tmp");
  MakeFile("dir/keep.txt");
  std::filesystem::create_directories(C("dir/folder.tmp"));
  EXPECT_TRUE(DeleteFile("C:\\dir\\*.tmp"));
  EXPECT_FALSE(std::filesystem::exists(C("dir/a.tmp")));
  EXPECT_FALSE(std::filesystem::exists(C("dir/B.TMP")));
  EXPECT_FALSE(std::filesystem::exists(C("dir/.hidden.tmp")));
  EXPECT_TRUE(std::filesystem::exists(C("dir/keep.txt")));
  EXPECT_TRUE(std::filesystem::is_directory(C("dir/folder.tmp")));
  EXPECT_FALSE(DeleteFile("C:\\dir\\*.tmp"));  // only the folder matches now
  EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileOperationsTest, WildcardDeleteGoesOnPastAFileItCannotDelete) {
  MakeFile("dir/a.log");
  MakeFile("dir/b.log");
  MakeFile("dir/c.log");
  ASSERT_TRUE(SetFileAttributes("C:\\dir\\b.log", FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(DeleteFile("C:\\dir\\?.log"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(std::filesystem::exists(C("dir/a.log")));
  EXPECT_TRUE(std::filesystem::exists(C("dir/b.log")));
  EXPECT_FALSE(std::filesystem::exists(C("dir/c.log")));
}

TEST_F(FileOperationsTest, CreatesFolders) {
  EXPECT_TRUE(CreateDirectory("C:\\New"));
  EXPECT_TRUE(std::filesystem::is_directory(C("New")));
  EXPECT_FALSE(CreateDirectory("C:\\new"));  // the same name without regard to case
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
  EXPECT_TRUE(CreateDirectory("C:\\NEW\\inner"));
  EXPECT_TRUE(std::filesystem::is_directory(C("New/inner")));
  EXPECT_FALSE(CreateDirectory("C:\\a\\b"));
  EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
  EXPECT_FALSE(std::filesystem::exists(C("a")));
  EXPECT_FALSE(CreateDirectory("C:\\"));
  EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
  EXPECT_FALSE(CreateDirectory("C:\\a?"));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
  MakeFile("file");
  EXPECT_FALSE(CreateDirectory("C:\\file"));
  EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
}

}  // namespace
}  // namespace tarvik::platform
