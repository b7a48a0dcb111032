// Connecting and logging in against the scripted server.
#include <gtest/gtest.h>

#include "ftp/session/server_name.h"
#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

using Commands = std::vector<std::string>;
const Commands kLoginCommands = {"USER u", "PASS p", "NOOP", "PWD"};

TEST(LoginTest, MultiLineGreetingInOnePieceLogsInOnce) {
  FakeFtpServer server;
  PlayLogin(server, "220-Welcome\n220-to the fake server\n220 Ready");
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_TRUE(t.session.Connect());
  EXPECT_TRUE(t.session.Connected());
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Commands(), kLoginCommands);
  EXPECT_EQ(t.session.state().home_directory, "/home/u");
  EXPECT_EQ(t.session.state().current_directory, "/home/u");
  EXPECT_TRUE(t.host.timers_enabled);
}

TEST(LoginTest, StateChangesOfALogin) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());
  std::vector<bool> connected_while_logging_in;
  t.host.on_state_change = [&] {
    if (t.session.state().ftp_state == FtpStates::ftpAuthentication) {
      connected_while_logging_in.push_back(t.session.Connected());
    }
  };

  ASSERT_TRUE(t.session.Connect());
  using S = FtpStates;
  EXPECT_EQ(t.host.states,
            (std::vector<S>{S::ftpConnecting, S::ftpConnected, S::ftpAuthentication,
                            S::ftpAuthentication, S::ftpFreeState,              // USER, PASS, 230
                            S::ftpFreeState, S::ftpFreeState,                   // NOOP probe
                            S::ftpRetrievingDirectoryInfo, S::ftpFreeState}));  // PWD
  EXPECT_EQ(connected_while_logging_in, (std::vector<bool>{false, false}));
}

TEST(LoginTest, UserAcceptedAtOnceShowsLoggedInState) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("USER u")
      .Reply("230 No password needed")
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("PWD")
      .Reply("257 \"/\"");
  server.Start();
  SessionUnderTest t(server.Port());

  ASSERT_TRUE(t.session.Connect());
  EXPECT_NE(std::find(t.host.states.begin(), t.host.states.end(), FtpStates::ftpUserLoggedIn),
            t.host.states.end());
  EXPECT_EQ(server.Commands(), (Commands{"USER u", "NOOP", "PWD"}));
}

TEST(LoginTest, ConnectTwiceSendsNothingTheSecondTime) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());

  ASSERT_TRUE(t.session.Connect());
  ASSERT_TRUE(server.WaitFinished());
  const std::size_t states_before = t.host.states.size();
  EXPECT_TRUE(t.session.Connect());
  EXPECT_EQ(t.host.states.size(), states_before);
  EXPECT_EQ(server.Commands(), kLoginCommands);
}

TEST(LoginTest, BlankUserLogsInAsAnonymous) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("USER anonymous")
      .Reply("331 Any password")
      .ExpectLike("PASS *@*")
      .Reply("230 Welcome")
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("PWD")
      .Reply("257 \"/\"");
  server.Start();
  SessionUnderTest t(server.Port(), "  ", "");

  EXPECT_TRUE(t.session.Connect());
  EXPECT_TRUE(server.WaitFinished());
}

TEST(LoginTest, WrongPasswordFailsWithTheServersText) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("USER u")
      .Reply("331 Password required")
      .Expect("PASS p")
      .Reply("530 Login incorrect.")
      .ExpectClose();
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 16530);
  EXPECT_EQ(t.session.ErrorInfo(), "530 Login incorrect.");
  EXPECT_FALSE(t.session.Connected());
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_TRUE(PumpUntil([&] { return server.IsFinished(); }));
}

TEST(LoginTest, PureServerGetsNoKeepAlive) {
  FakeFtpServer server;
  PlayUserAndPassword(server, "220 Welcome to Pure-FTPd.").Expect("PWD").Reply("257 \"/\"");
  server.Start();
  SessionUnderTest t(server.Port());

  ASSERT_TRUE(t.session.Connect());
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(t.session.settings().keep_alive_command, "");
  EXPECT_TRUE(t.session.state().server_is_pure);
  EXPECT_TRUE(t.session.state().list_dir_for_file);
}

// The MLST probe names a file that is not there: a refusal of the file keeps MLSD, a refusal of
// the command itself (or 451) falls back to LIST.
TEST(LoginTest, MlstProbeDecidesBetweenMlsdAndList) {
  const std::pair<const char*, const char*> cases[] = {
      {"550 No such file or directory", "MLSD"},
      {"501 Invalid argument", "MLSD"},
      {"451 Not available", "LIST"},
      {"500 Unknown command.", "LIST"},
      {"500 'MLST': command not understood.", "LIST"},
      {"502 Command not implemented.", "LIST"},
  };
  for (const auto& [reply, list_command] : cases) {
    SCOPED_TRACE(reply);
    FakeFtpServer server;
    PlayUserAndPassword(server, "220 Ready")
        .Expect("MLST QZWCMDTST.TMP")
        .Reply(reply)
        .Expect("NOOP")
        .Reply("200 ok")
        .Expect("PWD")
        .Reply("257 \"/\"");
    server.Start();
    SessionUnderTest t(server.Port());
    t.session.settings().list_command = "MLSD";

    ASSERT_TRUE(t.session.Connect());
    EXPECT_TRUE(server.WaitFinished());
    EXPECT_EQ(t.session.settings().list_command, list_command);
  }
}

TEST(LoginTest, UnsupportedKeepAliveCommandIsSwitchedOff) {
  FakeFtpServer server;
  PlayUserAndPassword(server, "220 Ready")
      .Expect("NOOP")
      .Reply("500 NOOP: command not understood")
      .Expect("PWD")
      .Reply("257 \"/\"");
  server.Start();
  SessionUnderTest t(server.Port());

  ASSERT_TRUE(t.session.Connect());
  EXPECT_EQ(t.session.settings().keep_alive_interval, 0);
  EXPECT_EQ(t.session.settings().keep_alive_command, "");
}

TEST(LoginTest, AutoEncodingTurnsUtf8OnWhenFeatListsIt) {
  FakeFtpServer features;
  PlayUserAndPassword(features, "220 Ready")
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("FEAT")
      .Reply("211-Features:\n MDTM\n UTF8\n211 End")
      .Expect("PWD")
      .Reply("257 \"/\"");
  features.Start();
  SessionUnderTest t(features.Port());
  t.session.settings().auto_encoding = true;

  ASSERT_TRUE(t.session.Connect());
  EXPECT_TRUE(t.session.settings().utf8);
  EXPECT_TRUE(features.WaitFinished());
}

TEST(LoginTest, FeatRefusedLeavesAnsi) {
  FakeFtpServer server;
  PlayUserAndPassword(server, "220 Ready")
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("FEAT")
      .Reply("500 FEAT not understood")
      .Expect("PWD")
      .Reply("257 \"/\"")
      .Expect("PWD")
      .Reply("257 \"/\"");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().auto_encoding = true;
  t.session.settings().utf8 = true;

  ASSERT_TRUE(t.session.Connect());
  EXPECT_FALSE(t.session.settings().utf8);
  EXPECT_EQ(t.session.GetCurrentDirectory(), "/");
}

class ServerNameTest : public ::testing::TestWithParam<std::string> {};

TEST_P(ServerNameTest, UrlFormsConnectToTheBareHost) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().server_name = NormaliseServerName(GetParam());

  EXPECT_TRUE(t.session.Connect());
  EXPECT_TRUE(server.WaitFinished());
}

INSTANTIATE_TEST_SUITE_P(Forms, ServerNameTest,
                         ::testing::Values("ftp://127.0.0.1/", "127.0.0.1:21",
                                           "FTP://127.0.0.1:21/"));

TEST(ServerNameRefusalTest, OtherPortFailsWith21000WithoutASocket) {
  FakeFtpServer server;
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().server_name = NormaliseServerName("127.0.0.1:2121");

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 21000);
  EXPECT_EQ(t.session.ErrorInfo(), "Invalid FTP host address");
  EXPECT_EQ(t.session.control_socket().State(), SocketState::kClosed);
  EXPECT_EQ(server.ControlConnections(), 0);
  EXPECT_TRUE(t.host.states.empty());
}

TEST(ConnectFailureTest, RefusedConnectionReportsTheSocketError) {
  SessionUnderTest t(FakeFtpServer::ClosedPort());
  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 10061);
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_FALSE(t.session.Connected());
}

}  // namespace
}  // namespace tarvik::test
