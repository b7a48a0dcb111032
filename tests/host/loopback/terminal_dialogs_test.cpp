// The tarvik program answering the control's dialogs at a real terminal: it runs in a detached
// tmux session, the test reads the screen (capture-pane) and types (send-keys) as a user would.
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::host {
namespace {

namespace fs = std::filesystem;
using test::ReadHostFile;
using test::ShellQuoted;

std::string Output(const std::string& command) {
  std::string text;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      text.append(buffer, got);
    pclose(pipe);
  }
  return text;
}

int Count(const std::string& text, const std::string& what) {
  int count = 0;
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
    ++count;
  return count;
}

class TerminalDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (std::system("command -v tmux >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "tmux is not installed (scripts/install-deps.sh installs it)";
    std::string pattern = (fs::temp_directory_path() / "tarvik-tmux-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    session_ = "tarvik-test-" + std::to_string(getpid());
    const std::string registration = "TARVIK_ROOT=" + ShellQuoted(root_.string()) + " " +
                                     ShellQuoted(TARVIK_REGSVR32) + " /s " +
                                     ShellQuoted(fs::canonical(TARVIK_SERVER_LIBRARY).string());
    ASSERT_EQ(std::system(registration.c_str()), 0);
  }
  void TearDown() override {
    if (session_.empty()) return;
    std::system(("tmux kill-session -t " + session_ + " 2>/dev/null").c_str());
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // Starts tarvik with `args` in a detached tmux session; the pane stays open after it ends and
  // shows "tarvik exited <status>".
  void StartTarvik(const std::vector<std::string>& args) {
    std::string command =
        "TARVIK_ROOT=" + ShellQuoted(root_.string()) + " " + ShellQuoted(TARVIK_HOST_PROGRAM);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += "; echo \"tarvik exited $?\"; sleep 600";
    const std::string tmux = "tmux new-session -d -x 160 -y 50 -s " + session_ + " " +
                             ShellQuoted("sh -c " + ShellQuoted(command));
    ASSERT_EQ(std::system(tmux.c_str()), 0);
  }
  // The whole pane, history included; `escapes` keeps the text attributes.
  std::string Screen(bool escapes = false) const {
    return Output("tmux capture-pane -p -S - " + std::string(escapes ? "-e " : "") + "-t " +
                  session_);
  }
  // Waits until the pane shows `text` `times` times; false after 20 s.
  bool WaitFor(const std::string& text, int times = 1) const {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (Count(Screen(), text) < times) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return true;
  }
  // Types `text` as it is, then presses the key `key` (a tmux key name: "Enter", "Tab").
  void Type(const std::string& text, const std::string& key = "Enter") const {
    if (!text.empty())
      std::system(("tmux send-keys -t " + session_ + " -l " + ShellQuoted(text)).c_str());
    std::system(("tmux send-keys -t " + session_ + " " + key).c_str());
  }

  fs::path root_;
  std::string session_;
};

TEST_F(TerminalDialogsTest, ConflictRenameAndOverwriteAllAtTheTerminal) {
  tarvik::test::RealFtpServer& server = tarvik::test::RealServers::Get("pyftpdlib");
  server.FreshDir("conflict");
  server.PutFile("conflict/a.txt", "remote a, the new one");
  server.PutFile("conflict/b.txt", "remote b");
  server.PutFile("conflict/c.txt", "remote c");
  const fs::path local = root_ / "local";
  fs::create_directories(local);
  std::ofstream(local / "a.txt") << "old a";
  std::ofstream(local / "b.txt") << "old b, larger than the remote one";  // nothing to resume
  std::ofstream(local / "c.txt") << "old c";
  const std::string l = local.string();
  StartTarvik({"--no-progress", "ServerName=" + server.Host(),
               "Port=" + std::to_string(server.Port()), "Username=" + server.User(),
               "Password=" + server.Password(),
               "RemotePath=/conflict/a.txt|/conflict/b.txt|/conflict/c.txt",
               "LocalPath=" + l + "/a.txt|" + l + "/b.txt|" + l + "/c.txt", "Download",
               "TransferredLocalFiles"});

  // The question names the file, both sizes and dates, and its eight buttons by access keys.
  ASSERT_TRUE(WaitFor("Cancel(C)?")) << Screen();
  std::string screen = Screen();
  EXPECT_NE(screen.find("[Confirm File Replace]"), std::string::npos) << screen;
  EXPECT_NE(screen.find("named 'a.txt'"), std::string::npos) << screen;
  EXPECT_NE(screen.find(" 5 Bytes , "), std::string::npos) << screen;    // the file here
  EXPECT_NE(screen.find("\n21 Bytes , "), std::string::npos) << screen;  // the incoming one
  EXPECT_NE(screen.find("Overwrite(O) Resume(R) Skip(S) Rename(N) Overwrite All(F) Resume All(X) "
                        "Skip All(T) Cancel(C)?"),
            std::string::npos)
      << screen;

  Type("n");  // Rename
  ASSERT_TRUE(WaitFor("New name")) << Screen();
  Type("a");  // the old name
  ASSERT_TRUE(WaitFor("The folder already contains a file named [ a ]")) << Screen();
  Type("");  // OK
  ASSERT_TRUE(WaitFor("New name", 2)) << Screen();
  Type("a2");

  // b.txt here is larger: Resume is greyed out, and refused.
  ASSERT_TRUE(WaitFor("named 'b.txt'")) << Screen();
  ASSERT_TRUE(WaitFor("Cancel(C)?", 2)) << Screen();
  EXPECT_NE(Screen(true).find("\x1b[2mResume(R)"), std::string::npos) << Screen(true);
  Type("r");
  ASSERT_TRUE(WaitFor("Resume is not available")) << Screen();
  Type("f");  // Overwrite All: c.txt is not asked about

  ASSERT_TRUE(WaitFor("tarvik exited")) << Screen();
  screen = Screen();
  EXPECT_NE(screen.find("tarvik exited 0"), std::string::npos) << screen;
  EXPECT_EQ(Count(screen, "[Confirm File Replace]"), 2) << screen;
  EXPECT_EQ(ReadHostFile(local / "a.txt"), "old a");
  EXPECT_EQ(ReadHostFile(local / "a2.txt"), "remote a, the new one");
  EXPECT_EQ(ReadHostFile(local / "b.txt"), "remote b");
  EXPECT_EQ(ReadHostFile(local / "c.txt"), "remote c");
  EXPECT_NE(screen.find("a2.txt|"), std::string::npos) << screen;  // TransferredLocalFiles
}

TEST_F(TerminalDialogsTest, OpenDialogTakesTypedPathsWithCompletion) {
  const fs::path folder = root_ / "pick";
  fs::create_directories(folder / "sub");
  std::ofstream(folder / "report-2026.txt") << "r";
  std::ofstream(folder / "readme.md") << "m";
  // Z: is the whole file system, so the folder's drive path is its path under Z:.
  std::string drive_folder = "Z:" + folder.string();
  std::replace(drive_folder.begin(), drive_folder.end(), '/', '\\');
  StartTarvik({"SFDMultiple=True", "SFDInitialDir=" + drive_folder, "ShowOpenFileDialog"});

  ASSERT_TRUE(WaitFor("Path: " + folder.string() + "/")) << Screen();
  Type("missing.txt");
  ASSERT_TRUE(WaitFor("no such file: " + folder.string() + "/missing.txt")) << Screen();
  ASSERT_TRUE(WaitFor("Path: ", 2)) << Screen();
  Type("rep", "Tab");
  ASSERT_TRUE(WaitFor(folder.string() + "/report-2026.txt")) << Screen();
  Type("|r", "Tab");  // "readme.md" and "report-2026.txt" share only the "re"
  Type("", "Tab");    // a second Tab lists them
  ASSERT_TRUE(WaitFor("readme.md  report-2026.txt")) << Screen();
  Type("a", "Tab");
  Type("");
  ASSERT_TRUE(WaitFor("tarvik exited")) << Screen();
  const std::string screen = Screen();
  EXPECT_NE(screen.find("tarvik exited 0"), std::string::npos) << screen;
  EXPECT_NE(screen.find(drive_folder + "\\report-2026.txt|" + drive_folder + "\\readme.md\n"),
            std::string::npos)
      << screen;
}

}  // namespace
}  // namespace tarvik::host
