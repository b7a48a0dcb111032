// Opening programs, documents and folders the way the Windows shell's "open" does.
#include "platform/shell/shell_execute.h"

#include <stdlib.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/fs/drive_table.h"
#include "platform/shell/posix/explorer_command.h"

namespace tarvik::platform {
namespace {

namespace fs = std::filesystem;

TEST(ShellExecuteTest, CommandLinesSplitLikeTheShellSplitsThem) {
  struct Row {
    const char* text;
    std::vector<std::string> words;
  };
  const Row rows[] = {
      {"", {}},
      {"  -a   b ", {"-a", "b"}},
      {"\"two words\" x", {"two words", "x"}},
      {"say\"s \"so", {"says so"}},
      {"\"a \\\"quote\\\"\"", {"a \"quote\""}},
      {"\"\"", {""}},
  };
  for (const Row& row : rows) EXPECT_EQ(SplitCommandLine(row.text), row.words) << row.text;
}

class ShellFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tarvik-shell-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    setenv("TARVIK_DRIVES", ("D=" + root_.string()).c_str(), 1);
    ReloadDriveTable();
    fs::create_directories(root_ / "dir");
    std::ofstream(root_ / "dir" / "notes.txt") << "n";
  }
  void TearDown() override {
    unsetenv("TARVIK_DRIVES");
    ReloadDriveTable();
    fs::remove_all(root_);
  }
  fs::path root_;
};

TEST_F(ShellFolderTest, ExplorerShowsTheFolderOfWhatItNames) {
  EXPECT_EQ(ExplorerFolder("/e, \"D:\\dir\""), "D:\\dir");
  EXPECT_EQ(ExplorerFolder("/e,\"D:\\dir\\notes.txt\""), "D:\\dir");  // a file: its folder
  EXPECT_EQ(ExplorerFolder("/select,D:\\dir"), "D:\\");
  EXPECT_EQ(ExplorerFolder("/e,\"D:\\dir\\new\""), "D:\\dir\\new");  // not there: as named
  EXPECT_EQ(ExplorerFolder("/e,"), "");
}

TEST_F(ShellFolderTest, FailuresGiveTheShellsCodes) {
  EXPECT_EQ(ShellExecute("Open", "D:\\dir\\missing.exe", "", SW_SHOWNORMAL), 2);
  EXPECT_EQ(ShellExecute("Open", "D:\\gone\\missing.exe", "", SW_SHOWNORMAL), 3);
  EXPECT_EQ(ShellExecute("Open", "dir\\relative.exe", "", SW_SHOWNORMAL), 3);
  EXPECT_EQ(ShellExecute("print", "D:\\dir\\notes.txt", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
  EXPECT_EQ(ShellExecute("Open", "", "", SW_SHOWNORMAL), 2);
  EXPECT_EQ(ShellExecute("Open", "no-such-program-anywhere", "", SW_SHOWNORMAL), 2);
  // A document needs the desktop's opener; without one on PATH nothing opens it.
  const std::string path = getenv("PATH");
  setenv("PATH", (root_ / "dir").c_str(), 1);
  EXPECT_EQ(ShellExecute("Open", "D:\\dir\\notes.txt", "", SW_SHOWNORMAL), SE_ERR_NOASSOC);
  EXPECT_EQ(ShellExecute("Open", "explorer.exe", "/e,\"D:\\dir\"", SW_SHOWNORMAL), SE_ERR_NOASSOC);
  setenv("PATH", path.c_str(), 1);
  // A program found on PATH by its bare name starts.
  EXPECT_GT(ShellExecute("", "true", "", SW_SHOWNORMAL), 32);
}

}  // namespace
}  // namespace tarvik::platform
