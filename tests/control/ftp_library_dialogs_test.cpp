// The control's dialogs and shell commands as a host calls them: what each dialog is asked to
// show, what comes back, and what Execute, Explore and GetDriveNames do on this system.
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "control/ftp_library.h"
#include "core/errors/log_file.h"
#include "platform/fs/drive_table.h"
#include "platform/fs/path_translation.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik {
namespace {

namespace fs = std::filesystem;
using Dialog = platform::ScriptedUiProvider::DialogKind;

class DialogsTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetUiProvider(ui_); }
  void TearDown() override { platform::SetUiProvider(nullptr); }

  std::shared_ptr<platform::ScriptedUiProvider> ui_ =
      std::make_shared<platform::ScriptedUiProvider>();
  FtpLibrary control_;
};

TEST_F(DialogsTest, OpenDialogFilterFromSfdFilterOrAllowType) {
  struct Row {
    const char* sfd_filter;
    const char* allow_type;
    const char* shown;
  };
  const Row rows[] = {
      {"exe,txt", "", "*.exe;*.txt|*.exe;*.txt"},
      {"*.exe|*.txt", "", "*.exe;*.txt|*.exe;*.txt"},
      {"", "", "*.*|*.*"},
      {"", "*.TXT, *.Doc", "*.txt;*.doc|*.txt;*.doc"},  // AllowType's stored ";txt; doc;"
      {"*.*.txt", "", "*.txt|*.txt"},
      {"a..b;**.c", "", "a.b;*.c|a.b;*.c"},  // patterns are taken as they are, then folded
  };
  for (const Row& row : rows) {
    control_.put_SFDFilter(row.sfd_filter);
    control_.put_AllowType(row.allow_type);
    ui_->QueueDialogAnswer(std::nullopt);
    EXPECT_EQ(control_.ShowOpenFileDialog(), "");  // cancelled: no error
    EXPECT_EQ(ui_->dialogs().back().filter, row.shown) << row.sfd_filter << row.allow_type;
  }
  EXPECT_EQ(control_.get_ErrorNumber(), 0);
  EXPECT_TRUE(ui_->boxes().empty());
}

TEST_F(DialogsTest, OpenDialogReturnsOneOrSeveralFiles) {
  ui_->QueueDialogAnswer("C:\\data\\one.txt");
  EXPECT_EQ(control_.ShowOpenFileDialog(), "C:\\data\\one.txt");
  const auto& plain = ui_->dialogs().back();
  EXPECT_EQ(plain.kind, Dialog::kOpenFile);
  EXPECT_EQ(plain.title, "Select File");
  EXPECT_TRUE(plain.file_must_exist);
  EXPECT_FALSE(plain.multiple);

  control_.put_SFDTitle("Pick");
  control_.put_SFDInitialDir("C:\\data");
  control_.put_SFDFileName("one.txt");
  control_.put_SFDMultiple(true);
  ui_->QueueDialogAnswer("C:\\data\\one.txt|C:\\data\\two.txt");
  // The list goes to Upload as it is.
  EXPECT_EQ(control_.ShowOpenFileDialog(), "C:\\data\\one.txt|C:\\data\\two.txt");
  const auto& several = ui_->dialogs().back();
  EXPECT_EQ(several.title, "Pick");
  EXPECT_EQ(several.initial_folder, "C:\\data");
  EXPECT_EQ(several.file_name, "one.txt");
  EXPECT_TRUE(several.multiple);
}

TEST_F(DialogsTest, AnswerThatIsNoDrivePathIsShownAndGivesNothing) {
  ui_->QueueDialogAnswer("C:\\data\\one.txt|two.txt");
  EXPECT_EQ(control_.ShowOpenFileDialog(), "");
  ASSERT_EQ(ui_->boxes().size(), 1u);
  EXPECT_EQ(ui_->boxes()[0].text, "ShowOpenFileDialog\r\nPlease enter absolute path [ two.txt ]");

  ui_->QueueDialogAnswer("report.txt");
  EXPECT_EQ(control_.ShowSaveFileDialog("report.txt"), "");
  EXPECT_EQ(ui_->boxes().back().text,
            "ShowSaveFileDialog\r\nPlease enter absolute path [ report.txt ]");

  // The folder browser reports through ErrorNumber instead of a box.
  ui_->QueueDialogAnswer("somewhere");
  EXPECT_EQ(control_.ShowFolderBrowserDialog(), "");
  EXPECT_EQ(control_.get_ErrorNumber(), 20011);
  EXPECT_EQ(ui_->boxes().size(), 2u);
}

TEST_F(DialogsTest, SaveDialogProposesTheFileNameAndAcceptsANewFile) {
  ui_->QueueDialogAnswer("C:\\out\\new name.txt");
  EXPECT_EQ(control_.ShowSaveFileDialog("C:\\in\\report.txt"), "C:\\out\\new name.txt");
  const auto& shown = ui_->dialogs().back();
  EXPECT_EQ(shown.kind, Dialog::kSaveFile);
  EXPECT_EQ(shown.title, "Save File");
  EXPECT_EQ(shown.filter, "*.*|*.*");
  EXPECT_EQ(shown.file_name, "report.txt");
  EXPECT_TRUE(shown.path_must_exist);
  EXPECT_FALSE(shown.file_must_exist);
  // A list of names proposes its first.
  ui_->QueueDialogAnswer(std::nullopt);
  EXPECT_EQ(control_.ShowSaveFileDialog("first.txt|second.txt"), "");
  EXPECT_EQ(ui_->dialogs().back().file_name, "first.txt");
}

TEST_F(DialogsTest, FolderBrowserTitleStartAndResult) {
  ui_->QueueDialogAnswer("C:\\data\\\\sub");
  EXPECT_EQ(control_.ShowFolderBrowserDialog(), "C:\\data\\sub\\");
  EXPECT_EQ(ui_->dialogs().back().kind, Dialog::kBrowseForFolder);
  EXPECT_EQ(ui_->dialogs().back().title, "Select A Folder:");

  ui_->QueueDialogAnswer("\\\\server\\share\\");
  EXPECT_EQ(control_.ShowBrowseFolderDialog("Where?", "C:\\start"), "\\\\server\\share\\");
  // Empty arguments keep the earlier title and start folder.
  ui_->QueueDialogAnswer(std::nullopt);
  EXPECT_EQ(control_.ShowBrowseFolderDialog("", ""), "");
  EXPECT_EQ(ui_->dialogs().back().title, "Where?");
  EXPECT_EQ(ui_->dialogs().back().initial_folder, "C:\\start");
  EXPECT_EQ(control_.get_ErrorNumber(), 0);
}

TEST_F(DialogsTest, OpenDialogIsATopLevelWindowWhileShown) {
  platform::TopLevelWindow during = 0;
  ui_->WhileShown([&] {
    during = platform::FindWindow("Select File");
    EXPECT_TRUE(FtpLibrary::SetWindowTopMostByTitle("Select File", true));
    EXPECT_TRUE(platform::IsWindowTopMost(during));
    EXPECT_TRUE(FtpLibrary::SetWindowTopMost(during, false));
    EXPECT_FALSE(platform::IsWindowTopMost(during));
  });
  control_.ShowOpenFileDialog();
  EXPECT_NE(during, 0u);
  EXPECT_EQ(platform::FindWindow("Select File"), 0u);
  EXPECT_FALSE(FtpLibrary::SetWindowTopMostByTitle("Select File", true));
}

// A folder of the test's own on drive C:, with its host path.
class ShellTest : public DialogsTest {
 protected:
  void SetUp() override {
    DialogsTest::SetUp();
    host_ = fs::path(platform::DriveHostRoot('C').value()) / "shell";
    fs::remove_all(host_);
    fs::create_directories(host_);
  }

  // A program at C:\shell\<name> that writes its arguments, one a line, to the pipe it creates
  // beside it; returns the pipe's host path.
  fs::path WriteProgram(const std::string& name) {
    const fs::path pipe = host_ / (name + ".pipe");
    EXPECT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    const fs::path program = host_ / name;
    std::ofstream(program) << "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" << pipe.string() << "'\n";
    fs::permissions(program, fs::perms::owner_all);
    return pipe;
  }

  // Everything written to `pipe` until its writer ends; "<no writer>" when none came in 10 s.
  static std::string ReadUntilWriterEnds(const fs::path& pipe) {
    const int fd = open(pipe.c_str(), O_RDONLY | O_NONBLOCK);
    std::string text;
    pollfd entry{fd, POLLIN, 0};
    while (poll(&entry, 1, 10'000) > 0) {
      char buffer[256];
      const ssize_t got = read(fd, buffer, sizeof buffer);
      if (got > 0) text.append(buffer, static_cast<std::size_t>(got));
      if (got == 0 && (entry.revents & POLLHUP) != 0) {
        close(fd);
        return text;
      }
    }
    close(fd);
    return "<no writer>";
  }

  static std::string LogText() {
    const platform::TranslatedPath log = platform::TranslatePath(PrepareLogFilePath());
    std::ifstream in(log.host_path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

  fs::path host_;
};

TEST_F(ShellTest, ExecuteStartsAProgramWithItsArguments) {
  struct Row {
    const char* command;
    const char* arguments;
  };
  const Row rows[] = {
      {"C:\\shell\\run.exe -a \"two words\"", "-a\ntwo words\n"},  // split after ".exe"
      {"  C:\\SHELL\\Run.EXE   ", "\n"},                           // no arguments, any case
  };
  for (const Row& row : rows) {
    const fs::path pipe = WriteProgram("run.exe");
    EXPECT_GT(control_.Execute(row.command), 32) << row.command;
    EXPECT_EQ(ReadUntilWriterEnds(pipe), row.arguments) << row.command;
    fs::remove(pipe);
  }
  // A program without ".exe" is split at "*".
  const fs::path pipe = WriteProgram("tool");
  EXPECT_GT(control_.Execute("C:\\shell\\tool*x y"), 32);
  EXPECT_EQ(ReadUntilWriterEnds(pipe), "x\ny\n");
  EXPECT_EQ(LogText().find("Execute.NotFount:"), std::string::npos);
}

TEST_F(ShellTest, ExecuteOfAMissingProgramTracesAndFails) {
  EXPECT_EQ(control_.Execute("C:\\shell\\missing.exe now"), 2);  // file not found
  EXPECT_NE(LogText().find("Execute.NotFount:C:\\shell\\missing.exe  {"), std::string::npos)
      << LogText();
  EXPECT_EQ(control_.Execute("C:\\nowhere\\missing.exe"), 3);  // path not found
  EXPECT_EQ(control_.Execute("Q:\\no drive.exe"), 3);
}

TEST_F(ShellTest, ExploreOpensTheFolderWithTheDesktopOpener) {
  // The desktop's opener is the one on PATH: here one that writes what it was given.
  const fs::path pipe = WriteProgram("xdg-open");
  const std::string path = getenv("PATH");
  setenv("PATH", host_.c_str(), 1);
  fs::create_directories(host_ / "sub folder");
  std::ofstream(host_ / "sub folder" / "file.txt") << "x";

  EXPECT_TRUE(control_.Explore("/e,C:\\shell\\sub folder"));
  EXPECT_EQ(ReadUntilWriterEnds(pipe), (host_ / "sub folder").string() + "\n");
  EXPECT_TRUE(control_.Explore("/e,/select,*C:\\shell\\sub folder\\file.txt"));
  EXPECT_EQ(ReadUntilWriterEnds(pipe), (host_ / "sub folder").string() + "\n");
  // A missing folder is the shell's error, not a success.
  EXPECT_FALSE(control_.Explore("/e,C:\\shell\\gone"));
  // So is a system without an opener.
  setenv("PATH", (host_ / "sub folder").c_str(), 1);
  EXPECT_FALSE(control_.Explore("C:\\shell"));
  setenv("PATH", path.c_str(), 1);
}

bool IsRamFileSystem(const char* mount_point) {
  std::ifstream mounts("/proc/self/mounts");
  for (std::string device, point, type, rest; mounts >> device >> point >> type;
       std::getline(mounts, rest)) {
    if (point == mount_point && type == "tmpfs") return true;
  }
  return false;
}

TEST_F(ShellTest, DriveNamesOfACustomDriveTable) {
  if (!IsRamFileSystem("/dev/shm")) GTEST_SKIP() << "/dev/shm is no RAM file system here";
  const std::string ram = "/dev/shm/tarvik-drives-" + std::to_string(getpid());
  fs::create_directories(ram);
  const std::string table = "C=" + host_.string() + ";R=" + ram + ";M=" + ram + "/missing;E=/";
  setenv("TARVIK_DRIVES", table.c_str(), 1);
  platform::ReloadDriveTable();
  EXPECT_EQ(control_.GetDriveNames(0), "C|E|M|R");
  EXPECT_EQ(control_.GetDriveNames(6), "R");
  EXPECT_EQ(control_.GetDriveNames(1), "M");  // its folder is not there
  EXPECT_EQ(control_.GetDriveNames(4), "");
  // "/" and the test folder are on the system's disk, unless that is itself in memory.
  if (!IsRamFileSystem("/")) {
    EXPECT_NE(control_.GetDriveNames(3).find('E'), std::string::npos);
  }
  unsetenv("TARVIK_DRIVES");
  platform::ReloadDriveTable();
  fs::remove_all(ram);
}

}  // namespace
}  // namespace tarvik
