// The file services on the system's wide-character calls: names beyond ASCII, paths as they are.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs/directory_search.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/file_handles.h"
#include "platform/fs/file_operations.h"
#include "platform/fs/known_folders.h"
#include "platform/fs/last_error.h"
#include "platform/fs/path_translation.h"

namespace tarvik::platform {
namespace {

class WidePathTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = GetTempPath() + "tarvik fs test Ünï";
    ASSERT_TRUE(CreateDirectory(folder_) || GetLastError() == ERROR_ALREADY_EXISTS);
  }
  void TearDown() override { DeleteFile(folder_ + "\\*"); }  // the empty folder stays for reuse
  std::string folder_;
};

TEST_F(WidePathTest, NamesBeyondAsciiSurviveEveryCall) {
  const std::vector<std::string> names = {"Grüße.txt", "東京 file.bin", "ÆØÅ"};
  for (const std::string& name : names) {
    const std::string path = folder_ + "\\" + name;
    const HANDLE file = CreateFile(path, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << name << " error " << GetLastError();
    DWORD written = 0;
    EXPECT_TRUE(WriteFile(file, name.data(), static_cast<DWORD>(name.size()), &written));
    EXPECT_TRUE(CloseHandle(file));
    FileAttributeData data;
    ASSERT_TRUE(GetFileAttributesEx(path, &data)) << name;
    EXPECT_EQ(data.size, name.size()) << name;
    EXPECT_EQ(CreateFile(path, GENERIC_WRITE, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  }
  std::vector<std::string> found;
  FindData entry;
  const HANDLE search = FindFirstFile(folder_ + "/*", &entry);  // "/" is taken for "\"
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  do {
    if (entry.name != "." && entry.name != "..") found.push_back(entry.name);
  } while (FindNextFile(search, &entry));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
  EXPECT_TRUE(FindClose(search));
  EXPECT_EQ(found.size(), names.size());
  EXPECT_TRUE(DeleteFile(folder_ + "\\*.*"));
  EXPECT_EQ(GetFileAttributes(folder_ + "\\" + names[0]), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST(PathTranslationTest, WindowsPathsAreTheirOwnHostPaths) {
  struct Row {
    const char* path;
    DWORD error;
    const char* host_path;
    bool is_root;
  };
  const std::vector<Row> rows = {
      {"C:\\windows\\..\\dir\\.\\file.txt", ERROR_SUCCESS, "C:\\dir\\file.txt", false},
      {"c:/dir/", ERROR_SUCCESS, "c:\\dir", false},
      {"C:", ERROR_SUCCESS, "C:\\", true},
      {"relative\\file", ERROR_INVALID_NAME, "", false},
      {"C:\\a|b", ERROR_INVALID_NAME, "", false},
      {"", ERROR_PATH_NOT_FOUND, "", false},
  };
  for (const Row& row : rows) {
    const TranslatedPath translated = TranslatePath(row.path);
    EXPECT_EQ(translated.error, row.error) << row.path;
    EXPECT_EQ(translated.host_path, row.host_path) << row.path;
    EXPECT_EQ(translated.is_root, row.is_root) << row.path;
  }
  EXPECT_EQ(HostToWindowsPath("D:/x/y"), "D:\\x\\y");
  EXPECT_EQ(HostToWindowsPath("/usr/bin"), std::nullopt);
}

}  // namespace
}  // namespace tarvik::platform
