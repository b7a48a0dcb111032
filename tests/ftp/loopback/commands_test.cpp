// Commands, replies, keep-alive, time-outs and reconnection against the scripted server.
#include <gtest/gtest.h>

#include "ftp/control_connection/command_line.h"
#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

using Commands = std::vector<std::string>;

std::vector<std::string> After(const std::vector<std::string>& commands, std::size_t skip) {
  return {commands.begin() + static_cast<std::ptrdiff_t>(std::min(skip, commands.size())),
          commands.end()};
}
constexpr std::size_t kLoginCount = 4;

TEST(SendCommandTest, ReturnsTheReplyWithItsLineEnds) {
  FakeFtpServer server;
  PlayLogin(server).Expect("SYST").Reply("215 UNIX Type: L8");
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX Type: L8\r\n");
  EXPECT_EQ(t.session.state().message_info, "215 UNIX Type: L8");
  EXPECT_EQ(t.session.state().message_type, MessageTypes::FTP_SERVER_RESPONSE);
  EXPECT_EQ(t.session.ErrorNumber(), 0);
}

TEST(SendCommandTest, CaseRules) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect("DELE myfile.txt")
      .Reply("250 Deleted")
      .Expect("DELE MyFile.txt")
      .Reply("250 Deleted");
  server.Start();
  SessionUnderTest t(server.Port());

  t.session.SendCommand("dele myfile.txt", "");
  t.session.SendCommand("dele", "MyFile.txt");
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(t.host.messages.back(), "250 Deleted");
}

TEST(SendCommandTest, RefusedCommandGivesTheErrorPrefix) {
  FakeFtpServer server;
  PlayLogin(server).Expect("XYZZY").Reply("500 Unknown command.");
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_EQ(t.session.SendCommand("xyzzy", ""),
            "SendCommand:command not understood;16500#500 Unknown command.");
  EXPECT_EQ(t.session.ErrorNumber(), 16500);
  EXPECT_EQ(t.session.ErrorInfo(), "500 Unknown command.");
  EXPECT_EQ(t.session.state().message_type, MessageTypes::FTP_SERVER_BAD_RESPONSE);
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
}

TEST(SendCommandTest, TwoRepliesInOneArrivalAnswerTwoCommands) {
  FakeFtpServer server;
  PlayLogin(server).Expect("STAT").Reply("257 \"/x\" created\n226 Done");
  server.Start();
  SessionUnderTest t(server.Port());

  // The 226 answers no command: it is shown, and the next command still gets its own reply.
  EXPECT_EQ(t.session.SendCommand("STAT", ""), "257 \"/x\" created\r\n");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(SendCommandTest, CommandTestRaisesNoServerMessage) {
  FakeFtpServer server;
  PlayLogin(server).Expect("SITE HELP").Reply("214 Help follows");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  const std::size_t messages_before = t.host.messages.size();

  EXPECT_EQ(t.session.SendCommand("SITE HELP", kCommandTestArgument), "214 Help follows\r\n");
  EXPECT_EQ(t.host.messages.size(), messages_before);
}

TEST(SendCommandTest, ReplyWhileNoOperationRunsIsShownAndAnswersNothing) {
  FakeFtpServer server;
  PlayLogin(server).Hold().Reply("421 Idle timeout notice").Expect("SYST").Reply("215 UNIX");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  const std::size_t states = t.host.states.size();

  server.Release();
  ASSERT_TRUE(
      PumpUntil([&] { return t.session.state().message_info == "421 Idle timeout notice"; }));
  EXPECT_EQ(t.host.states.size(), states);
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
}

TEST(SendCommandTest, SecondOperationFromAHandlerFailsWith16009) {
  FakeFtpServer server;
  PlayLogin(server).Expect("PWD").Reply("257 \"/data\" is current");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  std::string inner_result;
  std::int32_t inner_error = 0;
  t.host.on_server_message = [&] {
    if (t.session.state().message_info != "PWD ") return;
    inner_result = t.session.SendCommand("SYST", "");
    inner_error = t.session.ErrorNumber();
  };

  EXPECT_EQ(t.session.GetCurrentDirectory(), "/data");
  EXPECT_EQ(inner_error, 16009);
  EXPECT_EQ(inner_result,
            "SendCommand:command not understood;16009#The previous operation is unfinished");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(SendCommandTest, TransferTypeLetters) {
  FakeFtpServer server;
  PlayLogin(server).Expect("TYPE A").Reply("200 ok").Expect("TYPE I").Reply("200 ok");
  server.Start();
  SessionUnderTest t(server.Port());

  t.session.settings().transfer_mode = 0;
  t.session.SendCommand("TYPE", t.session.data_connection().TransferTypeCode());
  t.session.settings().transfer_mode = 1;
  t.session.SendCommand("TYPE", t.session.data_connection().TransferTypeCode());
  EXPECT_TRUE(server.WaitFinished());
}

TEST(SendCommandTest, LineBreakInsideACommandIsRefused) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  const std::string result = t.session.SendCommand("DELE", "a\r\nRMD b");
  EXPECT_EQ(t.session.ErrorNumber(), 16501);
  EXPECT_EQ(result.rfind("SendCommand:command not understood;16501#", 0), 0u) << result;
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Commands().size(), kLoginCount);
}

TEST(KeepAliveTest, NoopAfterTheIntervalOfSilence) {
  auto clock = std::make_shared<platform::ManualClock>();
  ScopedClock installed(clock);
  FakeFtpServer server;
  PlayLogin(server).Expect("NOOP").Reply("200 NOOP ok");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  clock->Advance(60'000);  // exactly the interval: not yet
  t.session.Timer1Tick();
  clock->Advance(1'000);
  t.session.Timer1Tick();
  ASSERT_TRUE(PumpUntil([&] { return server.IsFinished(); }));
  EXPECT_EQ(After(server.Commands(), kLoginCount), (Commands{"NOOP"}));
  t.session.Timer1Tick();  // the keep-alive itself counts as activity
  EXPECT_EQ(After(server.Commands(), kLoginCount), (Commands{"NOOP"}));
}

TEST(TimeoutTest, UnansweredCommandTimesOutWith20004) {
  FakeFtpServer server;
  PlayLogin(server).Expect("SYST").Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  ScopedClock installed(std::make_shared<SteppingClock>(1'000));

  EXPECT_EQ(t.session.SendCommand("SYST", ""),
            "SendCommand:command not understood;20004#Operation timed out");
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
}

TEST(ReconnectTest, DroppedConnectionIsReestablishedBySendFtpCommand) {
  FakeFtpServer server;
  PlayLogin(server).Drop();
  PlayLogin(server).Expect("SYST").Reply("215 UNIX");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  ASSERT_TRUE(
      PumpUntil([&] { return t.session.control_socket().State() != SocketState::kConnected; }));
  EXPECT_EQ(t.session.state().ftp_state, FtpStates::ftpClosed);

  t.session.BeginAsyncMethod(Operation::kRawCommand);
  ASSERT_TRUE(t.session.SendFtpCommand("SYST"));
  EXPECT_EQ(t.session.state().current_operation, Operation::kRawCommand);
  ASSERT_TRUE(PumpUntil([&] { return t.session.state().current_operation == Operation::kNone; }));
  EXPECT_EQ(t.session.state().command_reply, "215 UNIX\r\n");
  EXPECT_EQ(server.ControlConnections(), 2);
  EXPECT_TRUE(server.WaitFinished());
}

// A reconnect whose login loses the connection at a probe reached the server: it is not tried
// again (it would do the same), and the command fails with the probe's error.
TEST(ReconnectTest, ReconnectLosingTheConnectionInItsLoginIsNotRepeated) {
  FakeFtpServer server;
  PlayLogin(server).Drop();
  PlayUserAndPassword(server).Expect("NOOP").Drop();
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  ASSERT_TRUE(
      PumpUntil([&] { return t.session.control_socket().State() != SocketState::kConnected; }));

  t.session.BeginAsyncMethod(Operation::kRawCommand);
  EXPECT_FALSE(t.session.SendFtpCommand("SYST"));
  EXPECT_EQ(t.session.ErrorNumber(), 16011);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.ControlConnections(), 2);
}

}  // namespace
}  // namespace tarvik::test
