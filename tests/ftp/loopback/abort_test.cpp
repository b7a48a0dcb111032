// Abort, the wait for the control connection before transfer steps, and a server that asks for
// fewer commands.
#include <gtest/gtest.h>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

TEST(AbortTest, NothingRunningStillEndsCleanly) {
  FakeFtpServer server;
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_TRUE(t.session.Abort());
  EXPECT_TRUE(t.session.state().abort_requested);
  EXPECT_EQ(t.host.states, (std::vector<FtpStates>{FtpStates::ftpFreeState}));
}

TEST(AbortTest, AbortCurrentLeavesTheBatchGoing) {
  FakeFtpServer server;
  server.Start();
  SessionUnderTest t(server.Port());

  t.session.AbortCurrent();
  EXPECT_TRUE(t.session.state().abort_current_only);
  EXPECT_FALSE(t.session.state().abort_requested);
}

TEST(AbortTest, AbortDuringLoginFailsTheConnect) {
  FakeFtpServer server;
  server.Reply("220 Ready").Expect("USER u").Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  t.host.on_server_message = [&] {
    if (t.session.state().message_info == "USER u") t.session.Abort();
  };

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 16006);
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_FALSE(t.session.Connected());
  t.host.on_server_message = nullptr;

  FakeFtpServer good;
  PlayLogin(good);
  good.Start();
  t.session.settings().port = good.Port();
  EXPECT_TRUE(t.session.Connect()) << t.session.ErrorInfo();
}

TEST(ControlConnectionWaitTest, ConnectedReturnsAtOnceClosedGives20061) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());

  t.session.CSSTimeout();                     // never connected: the socket is closed
  EXPECT_EQ(t.session.ErrorNumber(), 10061);  // 20061 reads as "connection refused"
  ASSERT_TRUE(t.session.Connect());
  t.session.CSSTimeout();
  EXPECT_EQ(t.session.ErrorNumber(), 0);
}

TEST(PendingCommandTest, ServerThatRefusesConcurrentCommandsLosesKeepAlive) {
  FakeFtpServer server;
  PlayLogin(server).Expect("PWD").Reply("450 Another command is currently pending");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  ASSERT_EQ(t.session.settings().keep_alive_interval, 60);

  EXPECT_EQ(t.session.GetCurrentDirectory(), "");
  EXPECT_EQ(t.session.ErrorNumber(), 16450);
  EXPECT_EQ(t.session.ErrorInfo(), "450 Another command is currently pending");
  EXPECT_EQ(t.session.settings().keep_alive_interval, 0);
}

}  // namespace
}  // namespace tarvik::test
