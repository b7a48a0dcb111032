// Commands and replies in UTF-8 or in the ANSI code page (1252 unless TARVIK_ACP says otherwise).
#include <gtest/gtest.h>

#include "platform/text/code_page.h"
#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

class EncodingTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(platform::SetAnsiCodePage(1252)); }
  void TearDown() override { platform::SetAnsiCodePage(0); }
};

TEST_F(EncodingTest, Utf8CommandsAndReplies) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect(
          "CWD Gr\xC3\xBC\xC3\x9F"
          "e")
      .Reply("250 ok")
      .Expect("PWD")
      .Reply(
          "257 \"/Gr\xC3\xBC\xC3\x9F"
          "e\" is current");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().utf8 = true;

  // The raw folder change reads the new folder back.
  t.session.SendCommand("CWD", "Grüße");
  EXPECT_EQ(t.session.state().current_directory, "/Grüße");
  EXPECT_TRUE(server.WaitFinished());
}

TEST_F(EncodingTest, AnsiCommandsAndReplies) {
  FakeFtpServer server;
  PlayLogin(server)
      .Expect(
          "CWD Gr\xFC\xDF"
          "e")
      .Reply("250 ok")
      .Expect("PWD")
      .Reply(
          "257 \"/Gr\xFC\xDF"
          "e\" is current");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());

  // The raw folder change reads the new folder back.
  t.session.SendCommand("CWD", "Grüße");
  EXPECT_EQ(t.session.state().current_directory, "/Grüße");
  EXPECT_TRUE(server.WaitFinished());
}

// Encoding=AUTO with a FEAT that does not list UTF8: the first non-ASCII text decides.
TEST_F(EncodingTest, AutoEncodingTakesUtf8FromTheServersText) {
  FakeFtpServer server;
  PlayUserAndPassword(server)
      .Expect("NOOP")
      .Reply("200 ok")
      .Expect("FEAT")
      .Reply("211-Features:\n MDTM\n211 End")
      .Expect("PWD")
      .Reply("257 \"/home\"")
      .Expect("PWD")
      .Reply(
          "257 \"/Gr\xC3\xBC\xC3\x9F"
          "e\" is current")
      .Expect(
          "CWD Gr\xC3\xBC\xC3\x9F"
          "e2")
      .Reply("250 ok")
      .Expect("PWD")
      .Reply("257 \"/x\"");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().auto_encoding = true;
  ASSERT_TRUE(t.session.Connect());
  EXPECT_FALSE(t.session.settings().utf8);

  EXPECT_EQ(t.session.GetCurrentDirectory(), "/Grüße");
  EXPECT_TRUE(t.session.settings().utf8);
  t.session.SendCommand("CWD", "Grüße2");
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test
