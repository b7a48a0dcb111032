#include "platform/fs/directory_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/fs/file_attributes.h"
#include "platform/fs/last_error.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using DirectorySearchTest = testing::DriveSandbox;

// Every name a search of `pattern` returns, or the error when it fails at once.
std::vector<std::string> Names(const std::string& pattern, DWORD* error = nullptr) {
  std::vector<std::string> names;
  FindData data;
  const HANDLE search = FindFirstFile(pattern, &data);
  if (error != nullptr) *error = GetLastError();
  if (search == INVALID_HANDLE_VALUE) return names;
  do names.push_back(data.name);
  while (FindNextFile(search, &data));
  EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
  EXPECT_TRUE(FindClose(search));
  return names;
}

using Strings = std::vector<std::string>;

TEST_F(DirectorySearchTest, ListsEverythingIncludingHiddenEntriesInNameOrder) {
  MakeFile("dir/b.txt", "12345");
  MakeFile("dir/A.log");
  MakeFile("dir/.hidden");
  std::filesystem::create_directories(C("dir/Sub"));
  EXPECT_EQ(Names("C:\\dir\\*"), (Strings{".", "..", ".hidden", "A.log", "b.txt", "Sub"}));
  EXPECT_EQ(Names("C:\\DIR\\*.*"), (Strings{".", "..", ".hidden", "A.log", "b.txt", "Sub"}));
  EXPECT_EQ(Names("C:\\dir\\*.TXT"), (Strings{"b.txt"}));
  EXPECT_EQ(Names("C:\\dir\\?.*"), (Strings{"..", "A.log", "b.txt"}));
  EXPECT_EQ(Names("C:\\dir\\b.txt"), (Strings{"b.txt"}));
  EXPECT_EQ(Names("C:\\dir\\B.TXT"), (Strings{"b.txt"}));
}

TEST_F(DirectorySearchTest, RootsHaveNoDotEntries) {
  MakeFile("top.txt");
  EXPECT_EQ(Names("C:\\*"), (Strings{"top.txt"}));
}

TEST_F(DirectorySearchTest, EntriesCarryAttributesAndSize) {
  MakeFile("dir/b.txt", "12345");
  MakeFile("dir/.h", "1");
  std::filesystem::create_directories(C("dir/Sub"));
  FindData data;
  const HANDLE search = FindFirstFile("C:\\dir\\*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  std::map<std::string, FindData> found;
  do found[data.name] = data;
  while (FindNextFile(search, &data));
  FindClose(search);
  EXPECT_EQ(found["b.txt"].Size(), 5u);
  EXPECT_EQ(found["b.txt"].attributes, FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(found[".h"].attributes, FILE_ATTRIBUTE_HIDDEN);
  EXPECT_EQ(found["Sub"].attributes, FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(found["."].attributes & FILE_ATTRIBUTE_DIRECTORY, FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(DirectorySearchTest, LeavesOutNamesNoWindowsPathCanHold) {
  MakeFile("dir/ok.txt");
  MakeFile("dir/bad:name");
  MakeFile("dir/bad\xFFname");
  MakeFile("dir/back\\slash");
  EXPECT_EQ(Names("C:\\dir\\*"), (Strings{".", "..", "ok.txt"}));
}

TEST_F(DirectorySearchTest, FailuresCarryWin32Codes) {
  MakeFile("dir/x.txt");
  struct Row {
    std::string pattern;
    DWORD error;
  };
  const Row rows[] = {
      {"C:\\dir\\*.none", ERROR_FILE_NOT_FOUND},
      {"C:\\dir\\", ERROR_FILE_NOT_FOUND},
      {"C:\\", ERROR_FILE_NOT_FOUND},
      {"C:\\nodir\\*", ERROR_PATH_NOT_FOUND},
      {"C:\\dir\\x.txt\\*", ERROR_PATH_NOT_FOUND},
      {"", ERROR_PATH_NOT_FOUND},
      {"*.txt", ERROR_INVALID_NAME},
      {"C:\\d?r\\*", ERROR_INVALID_NAME},
  };
  for (const Row& row : rows) {
    DWORD error = 0;
    EXPECT_TRUE(Names(row.pattern, &error).empty()) << row.pattern;
    EXPECT_EQ(error, row.error) << row.pattern;
  }
  FindData data;
  EXPECT_FALSE(FindNextFile(INVALID_HANDLE_VALUE, &data));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
  EXPECT_FALSE(FindClose(12345));
  EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(DirectorySearchTest, SearchIsASnapshot) {
  MakeFile("dir/a");
  FindData data;
  const HANDLE search = FindFirstFile("C:\\dir\\a*", &data);
  ASSERT_NE(search, INVALID_HANDLE_VALUE);
  MakeFile("dir/ab");
  EXPECT_FALSE(FindNextFile(search, &data));
  EXPECT_TRUE(FindClose(search));
  EXPECT_FALSE(FindClose(search));
}

}  // namespace
}  // namespace tarvik::platform
