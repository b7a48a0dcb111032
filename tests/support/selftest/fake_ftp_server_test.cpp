#include "tests/support/fake_ftp_server.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "tests/support/loopback_sockets.h"
#include "tests/support/selftest/plain_ftp_client.h"

namespace tarvik::test {
namespace {

using Commands = std::vector<std::string>;

// Waits (bounded) until the server has recorded `count` commands.
bool WaitForCommands(const FakeFtpServer& server, std::size_t count) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (server.Commands().size() < count) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// True when nothing is waiting to be read on the client's control connection right now.
bool NothingToRead(PlainFtpClient& client) {
  return client.ReadReplyNow().empty();
}

TEST(FakeFtpServerTest, PlaysGreetingAndLoginAndRecordsCommands) {
  FakeFtpServer server;
  server.Reply("220 Fake ready")
      .Expect("USER u")
      .Reply("331 Password required")
      .Expect("PASS p")
      .Reply("230 Logged in");
  server.Start();

  PlainFtpClient client(server.Port());
  ASSERT_TRUE(client.Connected());
  EXPECT_EQ(client.ReadReply(), "220 Fake ready\r\n");
  EXPECT_EQ(client.Command("USER u"), "331 Password required\r\n");
  EXPECT_EQ(client.Command("PASS p"), "230 Logged in\r\n");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Commands(), (Commands{"USER u", "PASS p"}));
  EXPECT_TRUE(server.Failures().empty());
  EXPECT_EQ(server.ControlConnections(), 1);
}

TEST(FakeFtpServerTest, SendsAMultiLineReplyInOnePiece) {
  FakeFtpServer server;
  server.Reply("220-Welcome\n220-Second line\n220 Ready");
  server.Start();

  PlainFtpClient client(server.Port());
  EXPECT_EQ(client.ReadReply(), "220-Welcome\r\n220-Second line\r\n220 Ready\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, SplitsAReplyByteByByte) {
  FakeFtpServer server;
  server.ReplyByteByByte("220 Slow\n220 Done");
  server.Start();

  PlainFtpClient client(server.Port());
  EXPECT_EQ(client.ReadReply(), "220 Slow\r\n");
  EXPECT_EQ(client.ReadReply(), "220 Done\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, SendsAFinalLineWithoutLineEnd) {
  FakeFtpServer server;
  server.ReplyRaw("550 ").Drop();
  server.Start();

  PlainFtpClient client(server.Port());
  EXPECT_EQ(client.ReadUntilClosed(), "550 ");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, ServesAPassiveDownload) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("RETR a.bin")
      .Reply("150 Opening")
      .SendData("file contents")
      .Reply("226 Done");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  std::string reply = client.Command("PASV");
  ASSERT_EQ(reply.rfind("227 Entering Passive Mode (127,0,0,1,", 0), 0u) << reply;
  int data = PlainFtpClient::ConnectPassive(reply);
  ASSERT_GE(data, 0);
  EXPECT_EQ(client.Command("RETR a.bin"), "150 Opening\r\n");
  EXPECT_EQ(PlainFtpClient::ReadAll(data), "file contents");
  EXPECT_EQ(client.ReadReply(), "226 Done\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, AnnouncesAChosenPassiveAddressWithItsRealPort) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("PASV")
      .ReplyPasv("10,0,0,7")
      .Expect("LIST")
      .Reply("150 Here")
      .SendData("listing\r\n")
      .Reply("226 Done");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  std::string reply = client.Command("PASV");
  ASSERT_EQ(reply.rfind("227 Entering Passive Mode (10,0,0,7,", 0), 0u) << reply;
  int data = PlainFtpClient::ConnectPassive(reply);  // to 127.0.0.1, not to 10.0.0.7
  ASSERT_GE(data, 0);
  client.Command("LIST");
  EXPECT_EQ(PlainFtpClient::ReadAll(data), "listing\r\n");
  EXPECT_EQ(client.ReadReply(), "226 Done\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, ConnectsToTheClientForAnActiveTransfer) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .ExpectPort()
      .Reply("200 PORT ok")
      .Expect("RETR b.txt")
      .Reply("150 Opening")
      .SendData("active bytes")
      .Reply("226 Done");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  std::string argument;
  int listener = PlainFtpClient::ListenActive(argument);
  ASSERT_GE(listener, 0);
  EXPECT_EQ(client.Command("PORT " + argument), "200 PORT ok\r\n");
  EXPECT_EQ(client.Command("RETR b.txt"), "150 Opening\r\n");
  int data = ::accept(listener, nullptr, nullptr);
  ASSERT_GE(data, 0);
  EXPECT_EQ(PlainFtpClient::ReadAll(data), "active bytes");
  EXPECT_EQ(client.ReadReply(), "226 Done\r\n");
  EXPECT_TRUE(server.WaitFinished());
  ::close(listener);
}

TEST(FakeFtpServerTest, ReceivesUploads) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("STOR up.bin")
      .Reply("150 Go ahead")
      .ReceiveData()
      .Reply("226 Stored");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  int data = PlainFtpClient::ConnectPassive(client.Command("PASV"));
  ASSERT_GE(data, 0);
  EXPECT_EQ(client.Command("STOR up.bin"), "150 Go ahead\r\n");
  std::string payload(300000, 'x');
  payload[12345] = '\0';
  PlainFtpClient::WriteAll(data, payload);
  EXPECT_EQ(client.ReadReply(), "226 Stored\r\n");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Uploads(), (Commands{payload}));
}

TEST(FakeFtpServerTest, MatchesPatternsAndAnyCommand) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .ExpectLike("MKD /a*/?")
      .Reply("257 Made")
      .ExpectAny()
      .Reply("200 Whatever");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  EXPECT_EQ(client.Command("MKD /abc/d"), "257 Made\r\n");
  EXPECT_EQ(client.Command("NOOP"), "200 Whatever\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, AnUnexpectedCommandFailsTheTestAndGets500) {
  std::unique_ptr<FakeFtpServer> server;
  std::string reply;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        server = std::make_unique<FakeFtpServer>();
        server->Reply("220 Ready").Expect("USER u").Reply("331 Password");
        server->Start();
        PlainFtpClient client(server->Port());
        client.ReadReply();
        reply = client.Command("USER wrong");
        server->WaitFinished();
      },
      "step 2 (Expect \"USER u\"): received \"USER wrong\"");
  EXPECT_EQ(reply, "500 Unexpected command\r\n");
  EXPECT_TRUE(server->IsFinished());
  EXPECT_FALSE(server->WaitFinished(std::chrono::milliseconds(0)));
  ASSERT_EQ(server->Failures().size(), 1u);
  EXPECT_EQ(server->Commands(), (Commands{"USER wrong"}));
}

TEST(FakeFtpServerTest, ACommandWithoutCrLfFails) {
  std::unique_ptr<FakeFtpServer> server;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        server = std::make_unique<FakeFtpServer>();
        server->Expect("USER u").Reply("331 Password");
        server->Start();
        PlainFtpClient client(server->Port());
        client.SendRaw("USER u\n");
        server->WaitFinished();
      },
      "did not end in CR LF");
}

TEST(FakeFtpServerTest, AClientThatLeavesEarlyFailsTheTest) {
  std::unique_ptr<FakeFtpServer> server;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        server = std::make_unique<FakeFtpServer>();
        server->Reply("220 Ready").Expect("USER u");
        server->Start();
        {
          PlainFtpClient client(server->Port());
          client.ReadReply();
        }
        server->WaitFinished();
      },
      "the client closed the control connection instead");
}

TEST(FakeFtpServerTest, AnswersQuitAfterTheScriptButFailsOtherCommands) {
  FakeFtpServer quiet;
  quiet.Reply("220 Ready");
  quiet.Start();
  PlainFtpClient polite(quiet.Port());
  polite.ReadReply();
  EXPECT_EQ(polite.Command("QUIT"), "221 Goodbye\r\n");
  EXPECT_TRUE(quiet.WaitFinished());
  EXPECT_TRUE(quiet.Failures().empty());

  std::unique_ptr<FakeFtpServer> server;
  std::string reply;
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        server = std::make_unique<FakeFtpServer>();
        server->Reply("220 Ready");
        server->Start();
        PlainFtpClient client(server->Port());
        client.ReadReply();
        reply = client.Command("NOOP");
      },
      "unexpected command after the end of the script: \"NOOP\"");
  EXPECT_EQ(reply, "500 Unexpected command\r\n");
}

TEST(FakeFtpServerTest, StallReadsCommandsButNeverAnswers) {
  FakeFtpServer server;
  server.Reply("220 Ready").Expect("CWD /x").Stall();
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  client.Send("CWD /x");
  client.Send("NOOP");
  ASSERT_TRUE(WaitForCommands(server, 2));
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_TRUE(NothingToRead(client));
  EXPECT_EQ(server.Commands(), (Commands{"CWD /x", "NOOP"}));
}

TEST(FakeFtpServerTest, HoldWaitsForRelease) {
  FakeFtpServer server;
  server.Reply("220 Ready").Expect("NOOP").Hold().Reply("200 Late");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  client.Send("NOOP");
  ASSERT_TRUE(WaitForCommands(server, 1));
  EXPECT_FALSE(server.IsFinished());
  server.Release();
  EXPECT_EQ(client.ReadReply(), "200 Late\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, DropClosesInOrderAndTheClientMayReconnect) {
  FakeFtpServer server;
  server.Reply("220 First").Drop().Reply("220 Second").Expect("USER u").Reply("230 In");
  server.Start();

  {
    PlainFtpClient first(server.Port());
    EXPECT_EQ(first.ReadReply(), "220 First\r\n");
    EXPECT_EQ(first.ReadUntilClosed(), "");
  }
  PlainFtpClient second(server.Port());
  EXPECT_EQ(second.ReadReply(), "220 Second\r\n");
  EXPECT_EQ(second.Command("USER u"), "230 In\r\n");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.ControlConnections(), 2);
}

TEST(FakeFtpServerTest, ResetAbortsTheControlConnection) {
  FakeFtpServer server;
  server.Reply("220 Ready").Expect("USER u").Reset();
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  client.Send("USER u");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(client.ReadUntilClosedError(), ECONNRESET);
}

TEST(FakeFtpServerTest, ResetDataAbortsTheDataConnection) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("RETR big")
      .Reply("150 Opening")
      .SendDataPart("partial")
      .ResetData()
      .Reply("426 Aborted");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  int data = PlainFtpClient::ConnectPassive(client.Command("PASV"));
  ASSERT_GE(data, 0);
  client.Send("RETR big");
  EXPECT_EQ(client.ReadReply(), "150 Opening\r\n");
  EXPECT_EQ(client.ReadReply(), "426 Aborted\r\n");
  char buffer[64];
  ssize_t n;
  while ((n = ::recv(data, buffer, sizeof buffer, 0)) > 0) {
  }
  EXPECT_EQ(n, -1);
  EXPECT_EQ(errno, ECONNRESET);
  ::close(data);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, AClientThatHangsUpADownloadIsNotedNotFailed) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("RETR huge")
      .Reply("150 Opening")
      .SendData(std::string(64 << 20, 'z'))
      .Reply("426 Transfer aborted");
  server.Start();

  PlainFtpClient client(server.Port());
  client.ReadReply();
  int data = PlainFtpClient::ConnectPassive(client.Command("PASV"));
  ASSERT_GE(data, 0);
  EXPECT_EQ(client.Command("RETR huge"), "150 Opening\r\n");
  char buffer[1024];
  ASSERT_GT(::recv(data, buffer, sizeof buffer, 0), 0);
  ResetAndClose(data);
  EXPECT_EQ(client.ReadReply(), "426 Transfer aborted\r\n");
  EXPECT_TRUE(server.WaitFinished());
  ASSERT_EQ(server.Notes().size(), 1u);
  EXPECT_NE(server.Notes()[0].find("the client closed the data connection after"),
            std::string::npos)
      << server.Notes()[0];
}

TEST(FakeFtpServerTest, ExpectCloseWaitsForTheClientToLeave) {
  FakeFtpServer server;
  server.Reply("221 Bye").ExpectClose();
  server.Start();
  {
    PlainFtpClient client(server.Port());
    client.ReadReply();
  }
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FakeFtpServerTest, ClosedPortRefusesConnections) {
  PlainFtpClient client(FakeFtpServer::ClosedPort());
  EXPECT_FALSE(client.Connected());
}

}  // namespace
}  // namespace tarvik::test
