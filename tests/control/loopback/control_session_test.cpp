// The control over a scripted server: its events, timers, client site and termination.
#include <gtest/gtest.h>

#include <memory>

#include "control/ftp_library.h"
#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"
#include "tests/support/fake_ftp_server.h"
#include "tests/support/fake_login.h"

namespace tarvik::test {
namespace {

class RecordingEvents : public FtpLibraryEvents {
 public:
  explicit RecordingEvents(FtpLibrary& control) : control_(control) {}
  void OnStateChange() override {
    states.push_back(control_.get_FtpState());
    if (control_.get_FtpState() == FtpStates::ftpAuthentication) {
      connected_while_logging_in.push_back(control_.get_Connected());
    }
    if (on_state_change) on_state_change();
  }
  void OnServerMessage() override {
    messages.push_back(control_.get_MessageInfo());
    if (on_server_message) on_server_message();
  }
  void OnTransfer() override { ++transfers; }
  void OnError() override { ++errors; }

  std::vector<FtpStates> states;
  std::vector<std::string> messages;
  std::vector<bool> connected_while_logging_in;
  int transfers = 0;
  int errors = 0;  // never raised: errors come back through results and ErrorNumber/ErrorInfo
  std::function<void()> on_state_change;
  std::function<void()> on_server_message;

 private:
  FtpLibrary& control_;
};

class Site : public ClientSite {
 public:
  std::uintptr_t ContainerWindow() override { return 0x1234; }
};

void Aim(FtpLibrary& control, const FakeFtpServer& server) {
  control.put_ServerName("127.0.0.1");
  control.put_Port(server.Port());
  control.put_Username("u");
  control.put_Password("p");
}

bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::WaitForMessage(20);
    platform::ProcessPendingMessages();
  }
  return true;
}

TEST(ControlSessionTest, LoginEventsAndState) {
  FakeFtpServer server;
  PlayLogin(server).Expect("SYST").Reply("215 UNIX Type: L8").Expect("XYZ").Reply("500 What?");
  server.Start();
  FtpLibrary control;
  RecordingEvents events(control);
  control.SetEventSink(&events);
  Aim(control, server);

  ASSERT_TRUE(control.Connect());
  EXPECT_TRUE(control.get_Connected());
  using S = FtpStates;
  EXPECT_EQ(events.states,
            (std::vector<S>{S::ftpConnecting, S::ftpConnected, S::ftpAuthentication,
                            S::ftpAuthentication, S::ftpFreeState, S::ftpFreeState, S::ftpFreeState,
                            S::ftpRetrievingDirectoryInfo, S::ftpFreeState}));
  EXPECT_EQ(events.connected_while_logging_in, (std::vector<bool>{false, false}));
  EXPECT_EQ(events.messages,
            (std::vector<std::string>{"220 Fake server ready", "USER u", "331 Password required",
                                      "PASS ********", "230 Logged in", "PWD ",
                                      "257 \"/home/u\" is the current directory"}));
  EXPECT_EQ(control.SendCommand("SYST", ""), "215 UNIX Type: L8\r\n");
  EXPECT_EQ(control.get_MessageInfo(), "215 UNIX Type: L8");
  EXPECT_EQ(control.get_MessageType(), 1);
  EXPECT_EQ(events.transfers, 0);
  EXPECT_EQ(control.SendCommand("XYZ", "").rfind("SendCommand:command not understood;16500#", 0),
            0u);
  EXPECT_EQ(events.errors, 0);
  EXPECT_TRUE(control.Disconnect());
  EXPECT_EQ(control.get_FtpState(), FtpStates::ftpClosed);
  EXPECT_FALSE(control.get_Connected());
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Commands().back(), "QUIT");
}

// The property setter itself must switch the listing to "folder/*": a test of the session's
// routine alone does not see a setter that only stores the value.
TEST(ControlSessionTest, ListSuffixWithAsteriskListsFolderContents) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST pub/*")
      .Reply("150 Here comes the directory listing")
      .SendData("-rw-r--r--    1 1000     1000     10 Jan 05 12:30 a.txt\r\n")
      .Reply("226 Directory send OK");
  server.Start();
  FtpLibrary control;
  Aim(control, server);
  control.put_ListWorkingDir(false);
  control.put_ListSuffix("*");

  EXPECT_NE(control.GetFileList("pub").find("a.txt"), std::string::npos) << control.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

TEST(ControlSessionTest, SecondMethodFromAHandlerFailsWith16009) {
  FakeFtpServer server;
  PlayLogin(server).Expect("PWD").Reply("257 \"/data\" is current");
  server.Start();
  FtpLibrary control;
  RecordingEvents events(control);
  control.SetEventSink(&events);
  Aim(control, server);
  ASSERT_TRUE(control.Connect());
  std::string inner_result = "not called";
  std::int32_t inner_error = 0;
  events.on_state_change = [&] {
    if (control.get_FtpState() != FtpStates::ftpRetrievingDirectoryInfo) return;
    inner_result = control.GetCurrentDirectory();
    inner_error = control.get_ErrorNumber();
  };

  EXPECT_EQ(control.GetCurrentDirectory(), "/data");
  EXPECT_EQ(inner_result, "");
  EXPECT_EQ(inner_error, 16009);
  EXPECT_EQ(control.get_ErrorNumber(), 16009);  // the fallback number stays for the host
  EXPECT_TRUE(control.get_Connected());
  control.SetEventSink(nullptr);  // the handlers go before the control does
}

TEST(ControlSessionTest, ContainerWindowComesFromTheSite) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  FtpLibrary control;
  Site site;
  Aim(control, server);

  RecordingEvents events(control);
  control.SetEventSink(&events);

  control.SetClientSite(&site);
  ASSERT_TRUE(control.Connect());
  EXPECT_EQ(ContainerWindow(), 0x1234u);
  control.Session().RaiseTransfer();
  EXPECT_EQ(events.transfers, 1);

  control.SetClientSite(nullptr);
  ASSERT_TRUE(control.Connect());
  EXPECT_EQ(ContainerWindow(), 0u);
  control.Session().RaiseTransfer();
  EXPECT_EQ(events.transfers, 1);  // no site, no progress events
  control.SetEventSink(nullptr);
}

TEST(ControlSessionTest, KeepAliveTimerSendsNoopAfterSilence) {
  auto clock = std::make_shared<platform::ManualClock>();
  platform::SetClockForTesting(clock);
  {
    FakeFtpServer server;
    PlayLogin(server).Expect("NOOP").Reply("200 NOOP ok");
    server.Start();
    FtpLibrary control;
    Aim(control, server);
    ASSERT_TRUE(control.Connect());

    for (int second = 0; second <= 62; second += 2) {
      clock->Advance(2'000);
      platform::ProcessPendingMessages();
    }
    EXPECT_TRUE(PumpUntil([&] { return server.IsFinished(); }));
    EXPECT_EQ(server.Commands().back(), "NOOP");
    EXPECT_EQ(server.Commands().size(), 5u);
  }
  platform::SetClockForTesting(nullptr);
}

TEST(ControlSessionTest, TerminationQuitsAConnectedSession) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  {
    FtpLibrary control;
    Aim(control, server);
    ASSERT_TRUE(control.Connect());
  }
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.Commands().back(), "QUIT");
}

// Scrambles `plain` with the key 'f', whose digit letters are 'a'..'j'.
std::string Scramble(const std::string& plain) {
  std::string text = "abf";
  for (unsigned char c : plain) {
    const std::string digits = std::to_string(c);
    text.push_back(static_cast<char>(110 + digits.size()));
    for (char d : digits) text.push_back(static_cast<char>('a' + (d - '0')));
  }
  return text + "yz";
}

TEST(ControlSessionTest, ScrambledCredentials) {
  FakeFtpServer server;
  PlayLogin(server);
  server.Start();
  FtpLibrary control;
  control.put_Lype(1);
  control.put_ServerName(Scramble("127.0.0.1"));
  control.put_Port(server.Port());
  control.put_Username(Scramble("u"));
  control.put_Password(Scramble("p"));

  EXPECT_TRUE(control.Connect()) << control.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(control.get_MessageInfo(), "257 \"/home/u\" is the current directory");
}

TEST(ControlSessionTest, BadlyScrambledUserLogsInAsAnonymous) {
  FakeFtpServer server;
  server.Reply("220 Ready")
      .Expect("USER anonymous")
      .Reply("230 Welcome")
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("PWD")
      .Reply("257 \"/\"");
  server.Start();
  FtpLibrary control;
  control.put_Lype(2);  // the second format decodes as the first
  control.put_ServerName(Scramble("127.0.0.1"));
  control.put_Port(server.Port());
  control.put_Username("abXXyz");

  EXPECT_TRUE(control.Connect()) << control.get_ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

TEST(ControlSessionTest, TwoControlsAtOnce) {
  FakeFtpServer first;
  PlayLogin(first).Expect("SYST").Reply("215 first");
  first.Start();
  FakeFtpServer second;
  PlayLogin(second).Expect("SYST").Reply("215 second");
  second.Start();
  FtpLibrary a;
  FtpLibrary b;
  Aim(a, first);
  Aim(b, second);

  ASSERT_TRUE(a.Connect());
  ASSERT_TRUE(b.Connect());
  EXPECT_EQ(b.SendCommand("SYST", ""), "215 second\r\n");
  EXPECT_EQ(a.SendCommand("SYST", ""), "215 first\r\n");
}

}  // namespace
}  // namespace tarvik::test
