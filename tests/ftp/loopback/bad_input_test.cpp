// What the server sends that is no proper reply ends the operation with an error number and text,
// and the session connects again afterwards.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

// A second, well-behaved server for the Connect that must work after the failure.
void ExpectUsableAfterwards(SessionUnderTest& t) {
  FakeFtpServer good;
  PlayLogin(good).Expect("SYST").Reply("215 UNIX");
  good.Start();
  t.session.settings().port = good.Port();
  EXPECT_TRUE(t.session.Connect()) << t.session.ErrorInfo();
  EXPECT_EQ(t.session.SendCommand("SYST", ""), "215 UNIX\r\n");
  EXPECT_TRUE(good.WaitFinished());
}

TEST(BadInputTest, GreetingThatIsNoFtpReplyFailsAtOnce) {
  FakeFtpServer server;
  server.Reply("SSH-2.0-OpenSSH_9.2p1 Debian-2\nProtocol mismatch.").Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  {
    ScopedClock installed(std::make_shared<SteppingClock>(1'000));
    EXPECT_FALSE(t.session.Connect());
  }
  EXPECT_EQ(t.session.ErrorNumber(), 20065);
  EXPECT_EQ(t.session.ErrorInfo(),
            "The peer is not an FTP server: \"SSH-2.0-OpenSSH_9.2p1 Debian-2\"");
  EXPECT_FALSE(t.session.Connected());
  ExpectUsableAfterwards(t);
}

TEST(BadInputTest, SilentServerTimesOut) {
  FakeFtpServer server;
  server.Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  {
    ScopedClock installed(std::make_shared<SteppingClock>(1'000));
    EXPECT_FALSE(t.session.Connect());
  }
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
  ExpectUsableAfterwards(t);
}

// The home folder is part of the login: a PWD reply that never ends fails the Connect.
TEST(BadInputTest, PwdReplyThatNeverEndsFailsTheConnect) {
  FakeFtpServer server;
  PlayUserAndPassword(server)
      .Expect("NOOP")
      .Reply("200 NOOP ok")
      .Expect("PWD")
      .ReplyRaw("257-\"/home/u\" and more to come\r\n")
      .Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  {
    ScopedClock installed(std::make_shared<SteppingClock>(1'000));
    EXPECT_FALSE(t.session.Connect());
  }
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
  EXPECT_FALSE(t.session.Connected());
  ExpectUsableAfterwards(t);
}

// What a host reads in ErrorInfo holds no control characters, whatever the server sent.
TEST(BadInputTest, ServerBytesInErrorInfoArePrintable) {
  FakeFtpServer server;
  PlayLogin(server).Expect("XYZ").ReplyRaw("550 No\fsuch\x1b[2J file\r\n");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.SendCommand("XYZ", "");
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.ErrorInfo(), "550 No such [2J file");
}

TEST(BadInputTest, EndlessLineWithoutCrLfIsCutOff) {
  FakeFtpServer server;
  server.ReplyRaw(std::string(10 * 1024 * 1024, 'x')).Stall();
  server.Start();
  SessionUnderTest t(server.Port());

  // The control gives the connection up long before the server has written everything, so
  // the server's write fails.
  EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(
      {
        EXPECT_FALSE(t.session.Connect());
        EXPECT_FALSE(server.WaitFinished());
      },
      "could not send");
  EXPECT_EQ(t.session.ErrorNumber(), 16012);
  EXPECT_EQ(t.session.ErrorInfo(), "Reply too long");
  ExpectUsableAfterwards(t);
}

TEST(BadInputTest, ResetInTheMiddleOfAReply) {
  FakeFtpServer server;
  PlayLogin(server).Expect("STAT").ReplyRaw("211-Status of the server\r\n").Reset();
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  // A reset ends the socket without any notification; the waiting method notices.
  const std::string result = t.session.SendCommand("STAT", "");
  EXPECT_EQ(t.session.ErrorNumber(), 16011) << result;
  EXPECT_EQ(t.session.ErrorInfo(), "Connection is interrupted");
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_FALSE(t.session.Connected());
  ExpectUsableAfterwards(t);
}

TEST(BadInputTest, OrderlyCloseInTheMiddleOfAReplyIsNoSuccess) {
  FakeFtpServer server;
  PlayLogin(server).Expect("STAT").ReplyRaw("211-Status of the server\r\n").Drop();
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  const std::string result = t.session.SendCommand("STAT", "");
  EXPECT_EQ(t.session.ErrorNumber(), 16011) << result;
  EXPECT_EQ(t.session.ErrorInfo(), "Connection is interrupted");
  ExpectUsableAfterwards(t);
}

TEST(BadInputTest, ServerClosingDuringLoginIsAConnectFailure) {
  FakeFtpServer server;
  server.Reply("220 ready").Expect("USER u").Drop();
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 16006);
  EXPECT_TRUE(server.WaitFinished());
  ExpectUsableAfterwards(t);
}

TEST(BadInputTest, GreetingRefusedClosesTheConnection) {
  FakeFtpServer server;
  server.Reply("421 Too many connections").ExpectClose();
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), 16421);
  EXPECT_EQ(t.session.ErrorInfo(), "421 Too many connections");
  EXPECT_TRUE(PumpUntil([&] { return server.IsFinished(); }));
  ExpectUsableAfterwards(t);
}

}  // namespace
}  // namespace tarvik::test
