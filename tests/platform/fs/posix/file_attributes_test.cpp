#include "platform/fs/file_attributes.h"

#include <gtest/gtest.h>

#include "platform/fs/last_error.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using FileAttributesTest = testing::DriveSandbox;

TEST_F(FileAttributesTest, ReportsKindHiddenAndReadOnly) {
  MakeFile("dir/plain.txt", "abc");
  MakeFile("dir/.hidden", "");
  std::filesystem::create_directories(C(".hiddendir"));
  EXPECT_EQ(GetFileAttributes("C:\\dir\\plain.txt"), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(GetFileAttributes("C:\\DIR"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes("C:\\dir\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes("C:\\"), FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(GetFileAttributes("C:\\dir\\.hidden"), FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(GetFileAttributes("C:\\.hiddendir"), FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN);

  ASSERT_TRUE(SetFileAttributes("C:\\dir\\plain.txt", FILE_ATTRIBUTE_READONLY));
  EXPECT_EQ(GetFileAttributes("C:\\dir\\plain.txt"), FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(std::filesystem::status(C("dir/plain.txt")).permissions() &
                std::filesystem::perms::owner_write,
            std::filesystem::perms::none);
  ASSERT_TRUE(SetFileAttributes("C:\\dir\\plain.txt", 0));
  EXPECT_EQ(GetFileAttributes("C:\\dir\\plain.txt"), FILE_ATTRIBUTE_NORMAL);
  ASSERT_TRUE(
      SetFileAttributes("C:\\dir\\plain.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
  EXPECT_EQ(GetFileAttributes("C:\\dir\\plain.txt"),
            FILE_ATTRIBUTE_NORMAL);  // hidden follows the name
}

TEST_F(FileAttributesTest, MissingEntriesGiveInvalidAttributesAndAReason) {
  MakeFile("dir/file.txt");
  struct Row {
    std::string path;
    DWORD error;
  };
  const Row rows[] = {
      {"C:\\dir\\missing.txt", ERROR_FILE_NOT_FOUND},
      {"C:\\missing\\file.txt", ERROR_PATH_NOT_FOUND},
      {"C:\\dir\\file.txt\\sub", ERROR_PATH_NOT_FOUND},
      {"C:\\dir\\file.txt\\", ERROR_INVALID_NAME},
      {"", ERROR_PATH_NOT_FOUND},
      {"dir", ERROR_INVALID_NAME},
      {"C:\\a\xFF", ERROR_INVALID_NAME},
      {"C:\\" + std::string(270, 'a'), ERROR_FILENAME_EXCED_RANGE},
      {"Q:\\x", ERROR_PATH_NOT_FOUND},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(GetFileAttributes(row.path), INVALID_FILE_ATTRIBUTES) << row.path;
    EXPECT_EQ(GetLastError(), row.error) << row.path;
    EXPECT_FALSE(SetFileAttributes(row.path, 0)) << row.path;
    EXPECT_EQ(GetLastError(), row.error) << row.path;
    EXPECT_FALSE(GetFileAttributesEx(row.path, nullptr)) << row.path;
  }
  // As a signed 32-bit value the invalid attributes are negative, so "a positive value" tests work.
  EXPECT_LT(static_cast<std::int32_t>(INVALID_FILE_ATTRIBUTES), 0);
}

TEST_F(FileAttributesTest, ExtendedDataHasSizeAndTime) {
  MakeFile("sized.bin", std::string(1000, 'z'));
  const auto when = std::chrono::system_clock::time_point{} + std::chrono::hours(24 * 365 * 40);
  std::filesystem::last_write_time(C("sized.bin"),
                                   std::filesystem::file_time_type::clock::from_sys(when));
  FileAttributeData data;
  ASSERT_TRUE(GetFileAttributesEx("C:\\SIZED.bin", &data));
  EXPECT_EQ(data.size, 1000u);
  EXPECT_EQ(data.attributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(data.last_write_time, when);
  ASSERT_TRUE(GetFileAttributesEx("C:\\", &data));
  EXPECT_EQ(data.size, 0u);
  EXPECT_EQ(data.attributes, FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace
}  // namespace tarvik::platform
