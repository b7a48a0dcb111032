// Each command gets exactly its own reply: replies cut by TCP anywhere, preliminary replies,
// keep-alive replies, and a connection the server closed while the session was idle.
#include <poll.h>

#include <gtest/gtest.h>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

constexpr std::size_t kLoginCount = 4;

std::vector<std::string> AfterLogin(const FakeFtpServer& server) {
  const std::vector<std::string> commands = server.Commands();
  return {commands.begin() + static_cast<std::ptrdiff_t>(std::min(kLoginCount, commands.size())),
          commands.end()};
}

struct SplitCase {
  const char* name;
  std::string command;  // sent with SendCommand, or "PWD" through GetCurrentDirectory
  std::string reply;    // as the server sends it, lines separated by '\n'
  std::string result;   // what the method returns
};
void PrintTo(const SplitCase& c, std::ostream* out) {
  *out << c.name;
}

class SplitReplyTest : public ::testing::TestWithParam<SplitCase> {};

// The reply is cut at every byte position in turn; the command after it must get its own reply.
TEST_P(SplitReplyTest, EveryCutGivesTheWholeReply) {
  const SplitCase& c = GetParam();
  const std::size_t length = c.reply.size() + std::count(c.reply.begin(), c.reply.end(), '\n') + 2;
  for (std::size_t at = 1; at < length; ++at) {
    SCOPED_TRACE("cut after byte " + std::to_string(at));
    FakeFtpServer server;
    PlayLogin(server).Expect(c.command).ReplySplit(c.reply, at).Expect("SYST").Reply("215 UNIX");
    server.Start();
    SessionUnderTest t(server.Port());
    ASSERT_TRUE(t.session.Connect());

    const std::string result =
        c.command == "PWD" ? t.session.GetCurrentDirectory() : t.session.SendCommand(c.command, "");
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
    EXPECT_TRUE(server.WaitFinished());
  }
}

INSTANTIATE_TEST_SUITE_P(
    Replies, SplitReplyTest,
    ::testing::Values(SplitCase{"MultiLine", "FEAT", "211-Features:\n MDTM\n 211 inside\n211 End",
                                "211-Features:\r\n MDTM\r\n 211 inside\r\n211 End\r\n"},
                      SplitCase{"QuotedPath", "PWD", "257 \"/a b/c d\" is the current directory",
                                "/a b/c d"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PreliminaryReplyTest, SendCommandWaitsForTheFinalReply) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect("RETR a.txt")
      .Reply("150 Opening data connection")
      .Hold()
      .Reply("550 Failed to open file")
      .Expect("SYST")
      .Reply("215 UNIX");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.host.on_server_message = [&] {
    if (t.session.state().message_info.starts_with("150")) server.Release();
  };

  EXPECT_EQ(t.session.SendCommand("RETR", "a.txt"),
            "SendCommand:command not understood;16550#550 Failed to open file");
  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(PreliminaryReplyTest, BothRepliesAreHandedBack) {
  FakeFtpServer server;
  PlayLogin(server).Expect("SITE WAIT").Reply("120 Soon").Hold().Reply("200 Done");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.host.on_server_message = [&] {
    if (t.session.state().message_info.starts_with("120")) server.Release();
  };

  EXPECT_EQ(t.session.SendCommand("SITE WAIT", ""), "120 Soon\r\n200 Done\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

class KeepAliveTiming : public ::testing::Test {
 protected:
  std::shared_ptr<platform::ManualClock> clock_ = std::make_shared<platform::ManualClock>();
  ScopedClock installed_{clock_};
};

TEST_F(KeepAliveTiming, NotSentWhileAReplyIsAwaited) {
  FakeFtpServer server;
  PlayLogin(server).Expect("CWD pub").Reply("250 ok").Expect("PWD").Reply("257 \"/pub\" is cwd");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  // The tick comes while CWD waits for its reply.
  t.host.on_server_message = [&] {
    if (t.session.state().message_info != "CWD pub") return;
    clock_->Advance(61'000);
    t.session.Timer1Tick();
  };

  EXPECT_EQ(t.session.SendCommand("CWD", "pub"), "250 ok\r\n");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (std::vector<std::string>{"CWD pub", "PWD"}));
}

TEST_F(KeepAliveTiming, ItsReplyIsNotTheNextCommandsReply) {
  FakeFtpServer server;
  PlayLogin(server).Expect("NOOP").Expect("STAT").Reply("200 NOOP ok\n211 Status ok");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  clock_->Advance(61'000);
  t.session.Timer1Tick();
  // The keep-alive's reply comes together with the reply of the command sent right after it.
  EXPECT_EQ(t.session.SendCommand("STAT", ""), "211 Status ok\r\n");
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_TRUE(server.WaitFinished());
}

// Blocks (without pumping messages) until the session's control socket has something to read:
// here, the server's close.
bool WaitReadable(FtpSession& session) {
  pollfd watched{session.control_socket().SocketHandle(), POLLIN, 0};
  return ::poll(&watched, 1, 5000) == 1;
}

TEST(IdleCloseTest, ConnectionClosedWhileIdleIsReestablished) {
  FakeFtpServer server;
  PlayLogin(server).Hold().Drop();
  PlayLogin(server).Expect("SYST").Reply("215 UNIX");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  server.Release();
  ASSERT_TRUE(WaitReadable(t.session));

  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_EQ(server.ControlConnections(), 2);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(IdleCloseTest, NoticeBeforeTheCloseIsShown) {
  FakeFtpServer server;
  PlayLogin(server).Hold().Reply("421 Timeout.").Drop();
  PlayLogin(server).Expect("SYST").Reply("215 UNIX");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  server.Release();
  ASSERT_TRUE(WaitReadable(t.session));

  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
  EXPECT_NE(std::find(t.host.messages.begin(), t.host.messages.end(), "421 Timeout."),
            t.host.messages.end());
  EXPECT_TRUE(server.WaitFinished());
}

TEST(RawFolderChangeTest, TrackedFolderIsReadBack) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect("CWD /pub/x")
      .Reply("250 ok")
      .Expect("PWD")
      .Reply("257 \"/pub/x\" is cwd")
      .Expect("CDUP")
      .Reply("200 ok")
      .Expect("PWD")
      .Reply("257 \"/pub\" is cwd")
      .Expect("CWD missing")
      .Reply("550 No such folder");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  EXPECT_EQ(t.session.SendCommand("CWD", "/pub/x"), "250 ok\r\n");
  EXPECT_EQ(t.session.state().current_directory, "/pub/x");
  EXPECT_EQ(t.session.SendCommand("cdup", ""), "200 ok\r\n");
  EXPECT_EQ(t.session.state().current_directory, "/pub");
  t.session.SendCommand("CWD missing", "");
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.state().current_directory, "/pub");
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test
