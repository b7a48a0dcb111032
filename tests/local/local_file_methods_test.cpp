#include "local/local_file_methods.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/errors/error_record.h"
#include "platform/fs/file_attributes.h"
#include "platform/fs/file_handles.h"
#include "platform/text/code_page.h"
#include "platform/time/date_format.h"
#include "tests/local/local_sandbox.h"

namespace tarvik {
namespace {

struct Reported {
  std::string procedure;
  long number;
  std::string description;
};

class LocalFileMethodsTest : public testing::LocalSandbox {
 protected:
  LocalFileMethods Methods(LocalFileMethods::MessagePump pump = {}) {
    return LocalFileMethods(
        [this](std::string_view procedure, long number, std::string_view description) {
          reported_.push_back({std::string(procedure), number, std::string(description)});
        },
        std::move(pump));
  }
  std::vector<Reported> reported_;
};

TEST_F(LocalFileMethodsTest, NameMethodsFollowThePathRules) {
  const LocalFileMethods methods = Methods();
  EXPECT_EQ(methods.GetFileName("C:\\dir\\sub\\"), "sub");
  EXPECT_EQ(methods.GetFileName("https://host/a/b.zip"), "b.zip");
  EXPECT_EQ(methods.GetFileNameWithoutExt("C:\\my.dir\\file"), "file");
  EXPECT_EQ(methods.GetFileExtension("C:\\my.dir\\file"), "dir\\file");
  EXPECT_EQ(methods.GetParentPath("C:\\dir"), "C:\\");
  EXPECT_EQ(methods.GetParentPath("dir"), "");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, ExistenceChecks) {
  MakeFile("dir/.secret");
  const LocalFileMethods methods = Methods();
  EXPECT_TRUE(methods.LocalFileExists("C:\\DIR\\.SECRET"));
  EXPECT_FALSE(methods.LocalFileExists("C:\\dir"));
  EXPECT_TRUE(methods.LocalFolderExists("C:\\Dir"));
  EXPECT_FALSE(methods.LocalFolderExists("C:\\dir\\.secret"));
  EXPECT_FALSE(methods.LocalFolderExists(""));
  EXPECT_FALSE(methods.LocalFolderExists("C:\\bad\xFF"));
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, LocalFileCreateMakesTheFileAndItsFolders) {
  const LocalFileMethods methods = Methods();
  EXPECT_TRUE(methods.LocalFileCreate("C:\\new\\deeper\\file.txt"));
  EXPECT_TRUE(std::filesystem::is_regular_file(C("new/deeper/file.txt")));
  EXPECT_EQ(std::filesystem::file_size(C("new/deeper/file.txt")), 0u);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, LocalFileCreateLeavesAnExistingFileAlone) {
  MakeFile("keep.txt", "precious");
  MakeFile(".hidden", "also precious");
  const LocalFileMethods methods = Methods();
  EXPECT_FALSE(methods.LocalFileCreate("C:\\KEEP.TXT"));
  EXPECT_FALSE(methods.LocalFileCreate("C:\\.hidden"));
  EXPECT_EQ(ReadHostFile(C("keep.txt")), "precious");
  EXPECT_EQ(ReadHostFile(C(".hidden")), "also precious");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, LocalFileCreateReportsWhatItCannotCreate) {
  std::filesystem::create_directories(C("folder"));
  const LocalFileMethods methods = Methods();
  EXPECT_FALSE(methods.LocalFileCreate("C:\\folder"));
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].procedure, "LocalFileCreate");
  EXPECT_EQ(reported_[0].number, 5);
  EXPECT_EQ(reported_[0].description, "Access is denied.");
  EXPECT_FALSE(methods.LocalFileCreate("relative.txt"));
  EXPECT_EQ(reported_.back().number, 20006);
  EXPECT_FALSE(std::filesystem::exists(C("relative.txt")));
}

TEST_F(LocalFileMethodsTest, LocalFolderCreateReportsUnderItsName) {
  const LocalFileMethods methods = Methods();
  EXPECT_TRUE(methods.LocalFolderCreate("C:\\x\\y"));
  EXPECT_TRUE(std::filesystem::is_directory(C("x/y")));
  EXPECT_FALSE(methods.LocalFolderCreate("x\\y"));
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].procedure, "LocalFolderCreate");
  EXPECT_EQ(reported_[0].number, 20011);
  EXPECT_EQ(reported_[0].description, "Please enter absolute path [ x\\y ]");
}

TEST_F(LocalFileMethodsTest, LocalFileDeleteWithWildcards) {
  MakeFile("d/a.tmp");
  MakeFile("d/.b.tmp");
  MakeFile("d/c.txt");
  const LocalFileMethods methods = Methods();
  EXPECT_TRUE(methods.LocalFileDelete("C:\\d\\*.TMP"));
  EXPECT_FALSE(std::filesystem::exists(C("d/a.tmp")));
  EXPECT_FALSE(std::filesystem::exists(C("d/.b.tmp")));
  EXPECT_TRUE(std::filesystem::exists(C("d/c.txt")));
  EXPECT_TRUE(methods.LocalFileDelete("C:\\d\\C.TXT"));
  EXPECT_FALSE(std::filesystem::exists(C("d/c.txt")));
  EXPECT_FALSE(methods.LocalFileDelete("C:\\d\\c.txt"));
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].procedure, "LocalFileDelete");
  EXPECT_EQ(reported_[0].number, 2);
}

TEST_F(LocalFileMethodsTest, LocalFileReadJoinsLinesWithCrLf) {
  struct Case {
    const char* content;
    const char* text;
  };
  const Case cases[] = {
      {"one\r\ntwo\r\n", "one\r\ntwo"},
      {"one\ntwo", "one\r\ntwo"},
      {"a\rb\n\nc", "a\r\nb\r\n\r\nc"},
      {"", ""},
      {"\r\n", ""},
      {"x\n\n", "x\r\n"},
  };
  const LocalFileMethods methods = Methods();
  for (const Case& c : cases) {
    MakeFile("r.txt", c.content);
    EXPECT_EQ(methods.LocalFileRead("C:\\R.txt"), c.text) << c.content;
  }
  EXPECT_EQ(methods.LocalFileRead("C:\\missing.txt"), "");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, LocalFileReadConvertsFromTheAnsiCodePage) {
  ASSERT_TRUE(platform::SetAnsiCodePage(1252));
  MakeFile("latin.txt", "caf\xE9");
  EXPECT_EQ(Methods().LocalFileRead("C:\\latin.txt"), "café");
  platform::SetAnsiCodePage(0);
}

TEST_F(LocalFileMethodsTest, LocalFileReadOnlyLogsAFailure) {
  MakeFile("locked.txt", "x");
  const platform::HANDLE holder =
      platform::CreateFile("C:\\locked.txt", platform::GENERIC_WRITE, 0, platform::OPEN_EXISTING);
  ASSERT_NE(holder, platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(Methods().LocalFileRead("C:\\locked.txt"), "");
  platform::CloseHandle(holder);
  EXPECT_TRUE(reported_.empty());
  EXPECT_NE(LogText().find("32RLF##The process cannot access the file because it is being used "
                           "by another process."),
            std::string::npos);
}

TEST_F(LocalFileMethodsTest, LocalFileWriteReplacesOrAppends) {
  const LocalFileMethods methods = Methods();
  EXPECT_TRUE(methods.LocalFileWrite("C:\\out\\log.txt", "first", false));
  EXPECT_TRUE(methods.LocalFileWrite("C:\\OUT\\LOG.TXT", "second", false));
  EXPECT_EQ(ReadHostFile(C("out/log.txt")), "first\r\nsecond\r\n");
  EXPECT_TRUE(methods.LocalFileWrite("C:\\out\\log.txt", "only", true));
  EXPECT_EQ(ReadHostFile(C("out/log.txt")), "only\r\n");
  EXPECT_TRUE(methods.LocalFileWrite("C:\\top.txt", "at the root", true));
  EXPECT_EQ(ReadHostFile(C("top.txt")), "at the root\r\n");
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, LocalFileWriteKeepsAReadOnlyFileReadOnly) {
  MakeFile("ro.txt", "old\r\n");
  ASSERT_TRUE(platform::SetFileAttributes("C:\\ro.txt", platform::FILE_ATTRIBUTE_READONLY));
  EXPECT_TRUE(Methods().LocalFileWrite("C:\\ro.txt", "new", false));
  EXPECT_EQ(ReadHostFile(C("ro.txt")), "old\r\nnew\r\n");
  EXPECT_EQ(platform::GetFileAttributes("C:\\ro.txt"), platform::FILE_ATTRIBUTE_READONLY);
}

TEST_F(LocalFileMethodsTest, LocalFileWriteConvertsToTheAnsiCodePage) {
  ASSERT_TRUE(platform::SetAnsiCodePage(936));
  EXPECT_TRUE(Methods().LocalFileWrite("C:\\zh.txt", "中文", true));
  EXPECT_EQ(ReadHostFile(C("zh.txt")), "\xD6\xD0\xCE\xC4\r\n");
  platform::SetAnsiCodePage(0);
}

TEST_F(LocalFileMethodsTest, LocalFileWriteFailuresLoseNothing) {
  MakeFile("locked.txt", "keep");
  const platform::HANDLE holder = platform::CreateFile(
      "C:\\locked.txt", platform::GENERIC_READ, platform::FILE_SHARE_READ, platform::OPEN_EXISTING);
  ASSERT_NE(holder, platform::INVALID_HANDLE_VALUE);
  const LocalFileMethods methods = Methods();
  EXPECT_FALSE(methods.LocalFileWrite("C:\\locked.txt", "new", true));
  platform::CloseHandle(holder);
  EXPECT_EQ(ReadHostFile(C("locked.txt")), "keep");
  EXPECT_NE(LogText().find("32WLF##"), std::string::npos);
  EXPECT_FALSE(methods.LocalFileWrite("", "x", true));
  EXPECT_FALSE(methods.LocalFileWrite("relative.txt", "x", true));
  ASSERT_EQ(reported_.size(), 1u);  // the folder step reports; the write itself only logs
  EXPECT_EQ(reported_[0].procedure, "LocalFolderCreate");
}

TEST_F(LocalFileMethodsTest, GetLocalFileSize) {
  MakeFile("five.bin", "12345");
  MakeFile(".hidden", "123");
  MakeFile("empty.bin", "");
  const LocalFileMethods methods = Methods();
  EXPECT_EQ(methods.GetLocalFileSize("C:\\FIVE.bin"), 5.0);
  EXPECT_EQ(methods.GetLocalFileSize("C:\\.hidden"), 3.0);
  EXPECT_EQ(methods.GetLocalFileSize("C:\\empty.bin"), 0.0);
  EXPECT_EQ(methods.GetLocalFileSize("C:\\missing.bin"), -1.0);
  EXPECT_EQ(methods.GetLocalFileSize("C:\\nodir\\missing.bin"), -1.0);
  EXPECT_EQ(methods.GetLocalFileSize(""), -1.0);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(LocalFileMethodsTest, GetLocalFileSizeAbove4GB) {
  const platform::HANDLE file =
      platform::CreateFile("C:\\big.bin", platform::GENERIC_WRITE, 0, platform::CREATE_NEW);
  ASSERT_NE(file, platform::INVALID_HANDLE_VALUE);
  ASSERT_TRUE(
      platform::SetFilePointerEx(file, (std::int64_t{3} << 31), nullptr, platform::FILE_BEGIN));
  ASSERT_TRUE(platform::WriteFile(file, "x", 1, nullptr));
  platform::CloseHandle(file);
  EXPECT_EQ(Methods().GetLocalFileSize("C:\\big.bin"), 6442450945.0);
}

TEST_F(LocalFileMethodsTest, GetLocalFileSizeOfAFileThatCannotBeOpened) {
  MakeFile("busy.bin", "12345");
  const platform::HANDLE writer = platform::CreateFile(
      "C:\\busy.bin", platform::GENERIC_WRITE,
      platform::FILE_SHARE_READ | platform::FILE_SHARE_WRITE, platform::OPEN_EXISTING);
  ASSERT_NE(writer, platform::INVALID_HANDLE_VALUE);
  EXPECT_EQ(Methods().GetLocalFileSize("C:\\busy.bin"), -2.0);  // reading shares no writing
  platform::CloseHandle(writer);
  ASSERT_NE(FindErrorRecord(), nullptr);
  EXPECT_EQ(FindErrorRecord()->get_Number(), 32);
}

class FolderTreeTest : public LocalFileMethodsTest {
 protected:
  void SetUp() override {
    LocalFileMethodsTest::SetUp();
    MakeFile("tree/a.bin", "1234");
    MakeFile("tree/.hidden", "12");
    MakeFile("tree/sub/b.bin", "123456");
    MakeFile("tree/sub/deeper/c.bin", "1");
    std::filesystem::create_directories(C("tree/empty"));
  }
};

TEST_F(FolderTreeTest, FolderSizeAddsEveryFileBelow) {
  int pumps = 0;
  const LocalFileMethods methods = Methods([&] { ++pumps; });
  EXPECT_EQ(methods.GetLocalFolderSize("C:\\TREE"), 13.0);
  EXPECT_EQ(pumps, 3);  // once after each subfolder: empty, sub, deeper
  EXPECT_EQ(methods.GetLocalFolderSize("C:/tree/sub/"), 7.0);
  EXPECT_EQ(methods.GetLocalFolderSize("C:\\nosuch"), 0.0);
  EXPECT_TRUE(reported_.empty());
  const std::string log = LogText();
  for (const char* mark : {"GLFS1:C:\\TREE\\", "GLFS2:C:\\TREE\\sub\\", "GLFS4:C:\\TREE\\=13"})
    EXPECT_NE(log.find(mark), std::string::npos) << mark;
}

TEST_F(FolderTreeTest, FolderSizeCalledFromThePumpKeepsBothTotalsApart) {
  double inner = -1;
  bool called = false;
  const LocalFileMethods* self = nullptr;
  const LocalFileMethods methods = Methods([&] {
    if (called) return;
    called = true;  // the host's handler runs once, on the first pump pass
    inner = self->GetLocalFolderSize("C:\\tree\\sub");
  });
  self = &methods;
  EXPECT_EQ(methods.GetLocalFolderSize("C:\\tree"), 13.0);
  EXPECT_EQ(inner, 7.0);
}

TEST_F(FolderTreeTest, FolderSizeReportsABadPath) {
  EXPECT_EQ(Methods().GetLocalFolderSize("relative"), 0.0);
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].procedure, "GetLocalFolderSize");
  EXPECT_EQ(reported_[0].number, 123);
}

TEST_F(FolderTreeTest, FileCountCountsEveryFileBelow) {
  const LocalFileMethods methods = Methods();
  EXPECT_EQ(methods.GetLocalFileCount("C:\\tree"), 4.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:\\tree\\sub\\"), 2.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:\\tree\\empty"), 0.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:\\nosuch"), 0.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:"), 0.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:\\tree\\*"), 0.0);
  EXPECT_EQ(methods.GetLocalFileCount("C:\\tree\\a?"), 0.0);
  EXPECT_TRUE(reported_.empty());
}

TEST_F(FolderTreeTest, FileListHasEveryFileBelow) {
  const LocalFileMethods methods = Methods();
  EXPECT_EQ(methods.GetLocalFileList("C:\\tree"),
            "C:\\tree\\.hidden|C:\\tree\\a.bin|C:\\tree\\sub\\b.bin|C:\\tree\\sub\\deeper\\c.bin");
  EXPECT_EQ(methods.GetLocalFileList("C:\\tree\\empty\\"), "");
  EXPECT_TRUE(reported_.empty());
  EXPECT_EQ(methods.GetLocalFileList("C:\\nosuch"), "");
  ASSERT_EQ(reported_.size(), 1u);
  EXPECT_EQ(reported_[0].procedure, "GetLocalFileList");
  EXPECT_EQ(reported_[0].number, 3);
}

TEST_F(LocalFileMethodsTest, GetLocalFileDateUsesTheUsersGeneralDate) {
  setenv("TZ", "UTC", 1);
  platform::SetDatePatterns("", "");
  MakeFile("dated.txt");
  MakeFile("midnight.txt");
  const auto at = [](int y, unsigned m, unsigned d, int hh, int mm, int ss) {
    return std::filesystem::file_time_type::clock::from_sys(
        std::chrono::sys_days{std::chrono::year{y} / m / d} + std::chrono::hours{hh} +
        std::chrono::minutes{mm} + std::chrono::seconds{ss} + std::chrono::milliseconds{500});
  };
  std::filesystem::last_write_time(C("dated.txt"), at(2019, 1, 5, 12, 30, 45));
  std::filesystem::last_write_time(C("midnight.txt"), at(2019, 1, 5, 0, 0, 0));
  const LocalFileMethods methods = Methods();
  EXPECT_EQ(methods.GetLocalFileDate("C:\\DATED.TXT"), "1/5/2019 12:30:45 PM");
  EXPECT_EQ(methods.GetLocalFileDate("C:\\midnight.txt"), "1/5/2019");
  EXPECT_EQ(methods.GetLocalFileDate("C:\\missing.txt"), "");
  platform::SetDatePatterns("yyyy-MM-dd", "HH:mm:ss");
  EXPECT_EQ(methods.GetLocalFileDate("C:\\dated.txt"), "2019-01-05 12:30:45");
  platform::SetDatePatterns("", "");
  unsetenv("TZ");
}

TEST_F(LocalFileMethodsTest, DefaultReporterFillsTheSharedErrorRecord) {
  const LocalFileMethods methods;
  EXPECT_FALSE(methods.LocalFileDelete("C:\\nothing.txt"));
  const CError* record = FindErrorRecord();
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->get_Number(), 2);
  EXPECT_EQ(record->get_Source(), "LocalFileDelete");
  EXPECT_EQ(record->get_Description(), "The system cannot find the file specified.");
}

}  // namespace
}  // namespace tarvik
