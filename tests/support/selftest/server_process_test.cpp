#include "tests/support/server_process.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <fstream>
#include <sstream>

#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

class ServerProcessTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "server-process-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  std::string Output() const {
    std::ifstream file(dir_ / "output.txt");
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
  }

  std::filesystem::path dir_;
};

TEST_F(ServerProcessTest, ReportsAServerThatExitsBeforeListening) {
  std::string error;
  pid_t pid = StartServerProcess({"/bin/sh", "-c", "echo bad configuration >&2; exit 3"},
                                 dir_ / "output.txt", std::nullopt, error);
  ASSERT_GT(pid, 0) << error;
  EXPECT_FALSE(WaitUntilListening(pid, PickFreeLoopbackPort(), std::chrono::seconds(10), error));
  EXPECT_NE(error.find("exited with status 3"), std::string::npos) << error;
  StopServerProcess(pid);
  EXPECT_EQ(Output(), "bad configuration\n");
  EXPECT_EQ(::kill(pid, 0), -1);  // reaped: the PID is gone
}

TEST_F(ServerProcessTest, ReportsAProgramThatCannotRun) {
  std::string error;
  EXPECT_EQ(
      StartServerProcess({"/nonexistent/ftp-server"}, dir_ / "output.txt", std::nullopt, error),
      -1);
  EXPECT_NE(error.find("exec failed for /nonexistent/ftp-server: No such file or directory"),
            std::string::npos)
      << error;
}

TEST_F(ServerProcessTest, SeesTheListenerAndStopsTheWholeGroup) {
  std::uint16_t port = PickFreeLoopbackPort();
  // The listener forks a child that would outlive it, as servers do with their sessions.
  std::string script =
      "import os, socket, time\n"
      "session = os.fork()\n"
      "if session == 0:\n"
      "    time.sleep(600)\n"
      "    os._exit(0)\n"
      "print('session', session, flush=True)\n"
      "s = socket.socket()\n"
      "s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)\n"
      "s.bind(('127.0.0.1', " +
      std::to_string(port) +
      "))\n"
      "s.listen()\n"
      "time.sleep(600)\n";
  std::string error;
  pid_t pid = StartServerProcess({"/usr/bin/python3", "-c", script}, dir_ / "output.txt",
                                 std::nullopt, error);
  ASSERT_GT(pid, 0) << error;
  ASSERT_TRUE(WaitUntilListening(pid, port, std::chrono::seconds(20), error)) << error;
  StopServerProcess(pid);
  EXPECT_EQ(::kill(pid, 0), -1);
  std::string output = Output();
  ASSERT_EQ(output.rfind("session ", 0), 0u) << output;
  pid_t session = std::stoi(output.substr(8));
  EXPECT_EQ(::kill(session, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

TEST_F(ServerProcessTest, DoesNotMistakeAnotherListenerForTheServer) {
  int other = ListenOnLoopback(0);
  ASSERT_GE(other, 0);
  std::string error;
  pid_t pid = StartServerProcess({"/bin/sleep", "600"}, dir_ / "output.txt", std::nullopt, error);
  ASSERT_GT(pid, 0) << error;
  EXPECT_FALSE(WaitUntilListening(pid, LocalPortOf(other), std::chrono::milliseconds(200), error));
  EXPECT_NE(error.find("did not listen"), std::string::npos) << error;
  StopServerProcess(pid);
  ::close(other);
}

}  // namespace
}  // namespace tarvik::test
