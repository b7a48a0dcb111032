// Exact exchanges of a download against the scripted server: the automatic retry after a broken
// data connection, the watchdog of a stalled server, a refused file that must not cost the
// old local copy, and path lists that name nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <vector>

#include "platform/time/clock.h"
#include "tests/ftp/transfer/loopback/scripted_transfer.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

class FakeTransferTest : public ::testing::Test {
 protected:
  void Aim(const FakeFtpServer& server) {
    AimAtScriptedServer(hosted_.control, server, local_ / "file.bin");
  }

  HostedControl hosted_;
  fs::path local_ = FreshLocalFolder("fake-local");
};

TEST_F(FakeTransferTest, BrokenDataConnectionIsRetriedFromTheBytesWritten) {
  const std::string bytes = RandomBytes(1000);
  FakeFtpServer server;
  PlayLogin(server);
  PlayRetrieveStart(PlaySizeQuery(server))
      .SendDataPart(bytes.substr(0, 400))
      .CloseData()
      .Reply("426 Connection closed; transfer aborted")
      // The next attempt resumes: its size by SIZE again, then REST with what arrived.
      .Expect("TYPE I")
      .Reply("200 Type set")
      .ExpectLike("SIZE *file.bin")
      .Reply("213 1000")
      .Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("REST 400")
      .Reply("350 Restarting at 400")
      .ExpectLike("RETR *file.bin")
      .Reply("150 Opening")
      .SendData(bytes.substr(400))
      .Reply("226 Transfer complete");
  server.Start();
  Aim(server);

  // The countdown runs on the injectable clock: each progress event moves it a second on.
  auto clock = std::make_shared<platform::ManualClock>();
  platform::SetClockForTesting(clock);
  std::vector<std::string> states;
  hosted_.on_transfer = [&] {
    const std::string state = hosted_.control.get_TransferState();
    if (!state.empty() && (states.empty() || states.back() != state)) states.push_back(state);
    clock->Advance(1000);
  };
  const bool done = hosted_.control.Download();
  platform::SetClockForTesting(nullptr);
  ASSERT_TRUE(done) << hosted_.control.get_ErrorNumber() << " " << hosted_.control.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_TRUE(ReadHostFile(local_ / "file.bin") == bytes);
  ASSERT_EQ(states.size(), 6u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_NE(states[i].find("retransfer attempt #1 after " + std::to_string(5 - i) + " seconds"),
              std::string::npos)
        << states[i];
  }
  EXPECT_EQ(states[5], "Retransfer,please wait ... ");
}

TEST_F(FakeTransferTest, StalledServerEndsByTheWatchdogAndKeepsThePartialFile) {
  FakeFtpServer server;
  PlayLogin(server);
  PlayRetrieveStart(PlaySizeQuery(server))
      .SendDataPart(std::string(400, 'x'))
      .Stall();
  server.Start();
  Aim(server);
  // Below the property's 30 s floor, so that the watchdog fires within the test's time.
  hosted_.control.Session().settings().timeout_seconds = 1;
  hosted_.control.put_RedoTimes(0);  // one attempt
  EXPECT_FALSE(hosted_.control.Download());
  EXPECT_EQ(hosted_.control.get_ErrorNumber(), 20004) << hosted_.control.get_ErrorInfo();
  EXPECT_EQ(fs::file_size(local_ / "file.bin"), 400u);

  // The control is usable after: the next server gets a whole download.
  hosted_.control.Disconnect();
  FakeFtpServer next;
  PlayRetrieveStart(PlaySizeQuery(PlayLogin(next)))
      .SendData(std::string(1000, 'y'))
      .Reply("226 Transfer complete");
  next.Start();
  Aim(next);
  hosted_.control.put_Overwrite(true);  // a standing answer: the size comes by SIZE
  ASSERT_TRUE(hosted_.control.Download()) << hosted_.control.get_ErrorInfo();
  EXPECT_EQ(ReadHostFile(local_ / "file.bin"), std::string(1000, 'y'));
}

TEST_F(FakeTransferTest, RefusedFileLeavesTheOldLocalCopyAsItWas) {
  WriteHostFile(local_ / "file.bin", "old contents");
  ::chmod((local_ / "file.bin").c_str(), 0444);
  FakeFtpServer server;
  PlaySizeQuery(PlayLogin(server))
      .Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .ExpectLike("RETR *file.bin")
      .Reply("550 Permission denied");
  server.Start();
  Aim(server);
  hosted_.control.put_ReplaceIndex(1);  // overwrite
  EXPECT_FALSE(hosted_.control.Download());
  EXPECT_EQ(hosted_.control.get_ErrorNumber(), 16550);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(ReadHostFile(local_ / "file.bin"), "old contents");
}

// A path list of empty items names nothing: the call fails with the error of that empty path
// before it connects (the server's script is empty, so a connection would fail the test).
TEST_F(FakeTransferTest, PathListsOfEmptyItemsAreRefusedBeforeConnecting) {
  struct Row {
    bool upload;
    const char* remote;
    const char* local;
    long error;
  };
  const Row rows[] = {
      {true, "/up/", " | ", 20006},      {true, "/up/", "|", 20006},
      {true, " | ", "C:\\a.txt", 20005}, {false, " | ", "C:\\a.txt", 20005},
      {false, "/a.txt", " | ", 20006},
  };
  FakeFtpServer server;
  server.Start();
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.upload ? "Upload " : "Download ") + "RemotePath=\"" + row.remote +
                 "\" LocalPath=\"" + row.local + "\"");
    FtpLibrary& c = hosted_.control;
    Aim(server);
    c.put_RemotePath(row.remote);
    c.put_LocalPath(row.local);
    EXPECT_FALSE(row.upload ? c.Upload() : c.Download());
    EXPECT_EQ(c.get_ErrorNumber(), row.error) << c.get_ErrorInfo();
  }
  EXPECT_EQ(server.ControlConnections(), 0);
}

}  // namespace
}  // namespace tarvik::test
