#include "platform/fs/path_translation.h"

#include <gtest/gtest.h>

#include "platform/fs/drive_table.h"
#include "tests/platform/fs/drive_sandbox.h"

namespace tarvik::platform {
namespace {

using PathTranslationTest = testing::DriveSandbox;

TEST_F(PathTranslationTest, FindsEntriesWhoseCaseDiffers) {
  MakeFile("dir/File.txt", "x");
  const TranslatedPath path = TranslatePath("C:\\Dir\\FILE.txt");
  ASSERT_EQ(path.error, ERROR_SUCCESS);
  EXPECT_EQ(path.host_path, C("dir/File.txt").string());
  EXPECT_EQ(path.name, "File.txt");
  EXPECT_TRUE(path.parent_exists);
  EXPECT_EQ(TranslatePath("c:/DIR/file.TXT").host_path, C("dir/File.txt").string());
}

TEST_F(PathTranslationTest, PrefersTheExactName) {
  MakeFile("Same.txt");
  MakeFile("same.txt");
  EXPECT_EQ(TranslatePath("C:\\same.txt").host_path, C("same.txt").string());
  EXPECT_EQ(TranslatePath("C:\\Same.txt").host_path, C("Same.txt").string());
  EXPECT_EQ(TranslatePath("C:\\SAME.txt").host_path, C("Same.txt").string());  // first by name
}

TEST_F(PathTranslationTest, NeverClimbsAboveTheDriveRoot) {
  struct Row {
    const char* path;
    const char* host;
  };
  const Row rows[] = {
      {"C:\\..\\..\\etc", "etc"},
      {"C:\\a\\..\\..\\..\\etc\\passwd", "etc/passwd"},
      {"C:\\a\\.\\b\\..\\c", "a/c"},
      {"C:/../../etc", "etc"},
  };
  for (const Row& row : rows) {
    const TranslatedPath path = TranslatePath(row.path);
    ASSERT_EQ(path.error, ERROR_SUCCESS) << row.path;
    EXPECT_EQ(path.host_path, C(row.host).string()) << row.path;
  }
  const TranslatedPath up = TranslatePath("C:\\..");
  EXPECT_TRUE(up.is_root);
  EXPECT_EQ(up.host_path, C().string().substr(0, C().string().size() - 1));
}

TEST_F(PathTranslationTest, RootsAndSeparators) {
  for (const char* root : {"C:", "C:\\", "c:\\", "C:/", "C:\\\\"}) {
    const TranslatedPath path = TranslatePath(root);
    ASSERT_EQ(path.error, ERROR_SUCCESS) << root;
    EXPECT_TRUE(path.is_root) << root;
    EXPECT_TRUE(path.parent_exists) << root;
  }
  const TranslatedPath folder = TranslatePath("C:\\a\\\\b\\");
  EXPECT_EQ(folder.host_path, C("a/b").string());
  EXPECT_TRUE(folder.trailing_separator);
  EXPECT_EQ(folder.depth, 2u);
}

TEST_F(PathTranslationTest, IgnoresTrailingDotsAndBlanks) {
  MakeFile("file.txt");
  EXPECT_EQ(TranslatePath("C:\\file.txt.").host_path, C("file.txt").string());
  EXPECT_EQ(TranslatePath("C:\\file.txt  ").host_path, C("file.txt").string());
}

TEST_F(PathTranslationTest, MissingFoldersAreReported) {
  MakeFile("dir/x");
  const TranslatedPath missing_file = TranslatePath("C:\\dir\\nofile");
  EXPECT_EQ(missing_file.error, ERROR_SUCCESS);
  EXPECT_TRUE(missing_file.parent_exists);
  EXPECT_EQ(missing_file.host_path, C("dir/nofile").string());
  EXPECT_FALSE(TranslatePath("C:\\nodir\\file").parent_exists);
  EXPECT_FALSE(TranslatePath("C:\\dir\\x\\file").parent_exists);  // "x" is a file
}

TEST_F(PathTranslationTest, RefusesBadPathsWithWin32Codes) {
  struct Row {
    std::string path;
    DWORD error;
  };
  const Row rows[] = {
      {"", ERROR_PATH_NOT_FOUND},
      {"dir\\file", ERROR_INVALID_NAME},
      {"file.txt", ERROR_INVALID_NAME},
      {"C:file", ERROR_INVALID_NAME},
      {"\\dir\\file", ERROR_INVALID_NAME},
      {"Q:\\file", ERROR_PATH_NOT_FOUND},
      {"1:\\file", ERROR_INVALID_NAME},
      {"C:\\a<b", ERROR_INVALID_NAME},
      {"C:\\a|b\\c", ERROR_INVALID_NAME},
      {"C:\\a*b", ERROR_INVALID_NAME},
      {"C:\\a?b", ERROR_INVALID_NAME},
      {"C:\\a:b", ERROR_INVALID_NAME},
      {"C:\\a\"b", ERROR_INVALID_NAME},
      {"C:\\a\tb", ERROR_INVALID_NAME},
      {"C:\\...", ERROR_INVALID_NAME},
      {"C:\\bad\xFF", ERROR_INVALID_NAME},
      {"C:\\bad\xC3", ERROR_INVALID_NAME},
      {"C:\\" + std::string(256, 'a'), ERROR_FILENAME_EXCED_RANGE},
      {"C:\\" + std::string(100, 'a') + "\\" + std::string(160, 'b'), ERROR_FILENAME_EXCED_RANGE},
  };
  for (const Row& row : rows) {
    const TranslatedPath path = TranslatePath(row.path);
    EXPECT_EQ(path.error, row.error) << row.path;
    EXPECT_TRUE(path.host_path.empty()) << row.path;
  }
}

TEST_F(PathTranslationTest, LengthLimitCountsCharactersNotBytes) {
  // 255 two-byte characters are a valid name; 259 characters a valid path.
  std::string name;
  for (int i = 0; i < 255; ++i) name += "é";
  EXPECT_EQ(TranslatePath("C:\\" + name).error, ERROR_FILENAME_EXCED_RANGE);  // 510 bytes on host
  EXPECT_EQ(TranslatePath("C:\\" + std::string(255, 'a')).error, ERROR_SUCCESS);
  EXPECT_EQ(TranslatePath("C:\\" + std::string(200, 'a') + "\\" + std::string(55, 'b')).error,
            ERROR_SUCCESS);
}

TEST_F(PathTranslationTest, WildcardsOnlyInTheLastComponentOfPatterns) {
  const TranslatedPath pattern = TranslatePath("C:\\dir\\*.t?t", true);
  EXPECT_EQ(pattern.error, ERROR_SUCCESS);
  EXPECT_EQ(pattern.name, "*.t?t");
  EXPECT_EQ(TranslatePath("C:\\d*r\\x.txt", true).error, ERROR_INVALID_NAME);
  EXPECT_EQ(TranslatePath("C:\\dir\\a<*", true).error, ERROR_INVALID_NAME);
}

TEST_F(PathTranslationTest, NetworkPathsLiveUnderTheShareFolder) {
  std::filesystem::create_directories(root_ / "unc/Server/Share/sub");
  std::ofstream(root_ / "unc/Server/Share/sub/f.txt") << "x";
  const TranslatedPath path = TranslatePath("\\\\server\\share\\SUB\\F.TXT");
  ASSERT_EQ(path.error, ERROR_SUCCESS);
  EXPECT_EQ(path.host_path, (root_ / "unc/Server/Share/sub/f.txt").string());
  EXPECT_EQ(TranslatePath("//server/share/sub/f.txt").host_path, path.host_path);
  EXPECT_EQ(TranslatePath("\\\\server\\share\\..\\..\\x").host_path,
            (root_ / "unc/Server/Share/x").string());
  EXPECT_TRUE(TranslatePath("\\\\server\\share").is_root);
  EXPECT_EQ(TranslatePath("\\\\nosuch\\share\\f").error, ERROR_BAD_NETPATH);
  EXPECT_EQ(TranslatePath("\\\\server\\nosuch\\f").error, ERROR_BAD_NET_NAME);
  EXPECT_EQ(TranslatePath("\\\\server").error, ERROR_BAD_NET_NAME);
  EXPECT_EQ(TranslatePath("\\\\").error, ERROR_BAD_NETPATH);
}

TEST_F(PathTranslationTest, HostPathsMapBackToWindowsPaths) {
  EXPECT_EQ(HostToWindowsPath(C("dir/f.txt").string()), "C:\\dir\\f.txt");
  EXPECT_EQ(HostToWindowsPath((root_ / "c").string()), "C:\\");
  EXPECT_EQ(HostToWindowsPath((root_ / "d/x").string()), "D:\\x");
  EXPECT_EQ(HostToWindowsPath((root_ / "cc").string()), std::nullopt);  // not below C:
  EXPECT_EQ(HostToWindowsPath((root_ / "unc/srv/share/x").string()), "\\\\srv\\share\\x");
  EXPECT_EQ(HostToWindowsPath("/etc/passwd"), std::nullopt);
  EXPECT_EQ(HostToWindowsPath("relative"), std::nullopt);
}

TEST_F(PathTranslationTest, DriveTableFromTheEnvironment) {
  setenv("TARVIK_DRIVES", "c=/srv/c/;bad;D=relative;E=/mnt/e;1=/x;E=/mnt/e2", 1);
  ReloadDriveTable();
  const auto table = DriveTable();
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].letter, 'C');
  EXPECT_EQ(table[0].host_root, "/srv/c");
  EXPECT_EQ(table[1].letter, 'E');
  EXPECT_EQ(table[1].host_root, "/mnt/e2");
  EXPECT_EQ(DriveHostRoot('e'), "/mnt/e2");
  EXPECT_EQ(DriveHostRoot('D'), std::nullopt);
}

TEST_F(PathTranslationTest, DefaultTableHasDriveCUnderTheRootAndZAtSlash) {
  unsetenv("TARVIK_DRIVES");
  ReloadDriveTable();
  EXPECT_EQ(DriveHostRoot('C'), (root_ / "drive_c").string());
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "drive_c"));
  EXPECT_EQ(DriveHostRoot('Z'), "/");
  EXPECT_EQ(TranslatePath("Z:\\etc").host_path, "/etc");
  EXPECT_EQ(HostToWindowsPath("/etc/passwd"), "Z:\\etc\\passwd");
  EXPECT_EQ(HostToWindowsPath((root_ / "drive_c/x").string()), "C:\\x");
  EXPECT_EQ(TarvikRoot(), root_.string());
}

}  // namespace
}  // namespace tarvik::platform
