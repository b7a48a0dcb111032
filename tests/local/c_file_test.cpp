#include "local/c_file.h"

#include <gtest/gtest.h>

#include "core/errors/error_record.h"
#include "core/errors/numbered_error.h"
#include "tests/local/local_sandbox.h"

namespace tarvik {
namespace {

using CFileTest = testing::LocalSandbox;

TEST_F(CFileTest, FileExistsIgnoresCaseAndCountsHiddenFiles) {
  MakeFile("Dir/File.TXT");
  MakeFile("Dir/.hidden");
  std::filesystem::create_directories(C("Dir/Folder"));
  const CFile file;
  EXPECT_TRUE(file.FileExists("C:\\dir\\file.txt"));
  EXPECT_TRUE(file.FileExists("  C:\\DIR\\FILE.TXT  "));
  EXPECT_TRUE(file.FileExists("C:/dir//File.TXT"));
  EXPECT_TRUE(file.FileExists("C:\\Dir\\.hidden"));
  EXPECT_FALSE(file.FileExists("C:\\Dir\\Folder"));  // folders never count
  EXPECT_FALSE(file.FileExists("C:\\Dir\\*.txt"));   // a pattern is not a file
  EXPECT_FALSE(file.FileExists("C:\\Dir\\missing.txt"));
  EXPECT_FALSE(file.FileExists("C:\\Dir\\File.TXT\\"));
  EXPECT_FALSE(file.FileExists(""));
  EXPECT_FALSE(file.FileExists("File.TXT"));
}

TEST_F(CFileTest, FileExistsOnNetworkPaths) {
  std::filesystem::create_directories(root_ / "unc/server/share");
  std::ofstream(root_ / "unc/server/share/f.txt") << "x";
  const CFile file;
  EXPECT_TRUE(file.FileExists("\\\\server\\share\\f.txt"));
  EXPECT_TRUE(file.FileExists("\\server\\share\\f.txt"));  // the second "\" is put back
  EXPECT_FALSE(file.FileExists("\\\\server\\share\\g.txt"));
}

TEST_F(CFileTest, FolderExists) {
  MakeFile("dir/file.txt");
  const CFile file;
  EXPECT_TRUE(file.FolderExists("C:\\DIR"));
  EXPECT_TRUE(file.FolderExists("C:\\dir\\"));
  EXPECT_TRUE(file.FolderExists("C:\\"));
  EXPECT_FALSE(file.FolderExists("C:\\dir\\file.txt"));
  EXPECT_FALSE(file.FolderExists("C:\\nodir"));
  EXPECT_FALSE(file.FolderExists("   "));
}

TEST_F(CFileTest, CreateFolderMakesEveryMissingParent) {
  const CFile file;
  EXPECT_TRUE(file.CreateFolder("C:\\a\\b\\c\\"));
  EXPECT_TRUE(std::filesystem::is_directory(C("a/b/c")));
  EXPECT_TRUE(file.CreateFolder("C:/A//B"));  // exists already, any case
  EXPECT_TRUE(file.CreateFolder("C:\\"));
  EXPECT_TRUE(file.CreateFolder("C:"));
}

TEST_F(CFileTest, CreateFolderRefusesRelativeAndEmptyPathsBeforeTouchingTheDisk) {
  const CFile file;
  try {
    file.CreateFolder("dir\\sub");
    FAIL() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.number(), 20011);
    EXPECT_EQ(error.description(), "Please enter absolute path [ dir\\sub ]");
  }
  try {
    file.CreateFolder("C:sub");
    FAIL() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.number(), 20011);
  }
  try {
    file.CreateFolder("  \\ ");
    FAIL() << "no error raised";
  } catch (const NumberedError& error) {
    EXPECT_EQ(error.number(), 20006);
    EXPECT_EQ(error.description(), "Please input filename!");
  }
  EXPECT_TRUE(std::filesystem::is_empty(C()));
}

TEST_F(CFileTest, CreateFolderReportsWhatItCannotMake) {
  MakeFile("file");
  const CFile file;
  EXPECT_FALSE(file.CreateFolder("C:\\file\\sub"));
  const CError* record = FindErrorRecord();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->get_Number(), 20020);
  EXPECT_EQ(record->get_Source(), "CreateFolder");
  EXPECT_EQ(record->get_Description(), "Failed to create directory[ C:\\file\\sub ] !");
  EXPECT_NE(LogText().find("CreateFolder|Failed to create directory[ C:\\file\\sub ] !(20020)"),
            std::string::npos);
}

class DirListTest : public testing::LocalSandbox {
 protected:
  void SetUp() override {
    LocalSandbox::SetUp();
    MakeFile("top/a.txt");
    MakeFile("top/B.LOG");
    MakeFile("top/.hidden");
    MakeFile("top/sub/c.txt");
    MakeFile("top/sub/deep/d.bin");
    std::filesystem::create_directories(C("top/empty"));
  }
  const CFile file_{};
};

TEST_F(DirListTest, FilesOnlyWithFullPaths) {
  EXPECT_EQ(file_.GetDirList("C:\\top", false, kDirListFiles),
            "C:\\top\\.hidden|C:\\top\\a.txt|C:\\top\\B.LOG");
  EXPECT_EQ(file_.GetDirList("C:/top/", true, kDirListFiles),
            "C:\\top\\.hidden|C:\\top\\a.txt|C:\\top\\B.LOG|C:\\top\\sub\\c.txt|"
            "C:\\top\\sub\\deep\\d.bin");
}

TEST_F(DirListTest, FoldersOnlyAndBothWithMarks) {
  EXPECT_EQ(file_.GetDirList("C:\\top\\", true, kDirListFolders),
            "C:\\top\\empty|C:\\top\\sub|C:\\top\\sub\\deep");
  EXPECT_EQ(file_.GetDirList("C:\\top\\sub", true, 7),
            "0*C:\\top\\sub\\c.txt|1*C:\\top\\sub\\deep|0*C:\\top\\sub\\deep\\d.bin");
}

TEST_F(DirListTest, ExtensionFilterAndPatterns) {
  EXPECT_EQ(file_.GetDirList("C:\\top", true, kDirListFiles, "txt"),
            "C:\\top\\a.txt|C:\\top\\sub\\c.txt");
  EXPECT_EQ(file_.GetDirList("C:\\top", false, kDirListFiles, "log|bin"), "C:\\top\\B.LOG");
  EXPECT_EQ(file_.GetDirList("C:\\top", false, kDirListFiles, "*"),
            "C:\\top\\.hidden|C:\\top\\a.txt|C:\\top\\B.LOG");
  EXPECT_EQ(file_.GetDirList("C:\\top\\*.txt", false, kDirListFiles), "C:\\top\\a.txt");
}

TEST_F(DirListTest, EmptyAndMissingFolders) {
  EXPECT_EQ(file_.GetDirList("C:\\top\\empty", true, kDirListBoth), "");
  EXPECT_EQ(file_.GetDirList("C:\\nosuch", true, kDirListFiles),
            "Error:The system cannot find the path specified.#|#3");
  EXPECT_EQ(file_.GetDirList("relative", true, kDirListFiles).rfind("Error:", 0), 0u);
  EXPECT_THROW(file_.ListDirs("C:\\nosuch", true, kDirListFiles), NumberedError);
}

}  // namespace
}  // namespace tarvik
