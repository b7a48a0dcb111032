// Every reply of a login and of the command after it cut by TCP at the same byte position, for
// every position: the login and the command still get their whole replies, and MessageInfo shows
// each reply whole (the login's keep-alive probe is not shown), even one that is just its code and whose line end comes in a later arrival.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

struct Exchange {
  const char* command;  // "" for the greeting
  const char* reply;
};
constexpr std::array<Exchange, 6> kExchanges{{
    {"", "220-Welcome\n220 Ready"},
    {"USER u", "331 Password required"},
    {"PASS p", "230 Logged in"},
    {"NOOP", "200 NOOP ok"},
    {"PWD", "257 \"/home/u\" is the current directory"},
    {"SYST", "215"},
}};

// The framed length of `reply`: each line ends in CR LF.
std::size_t FramedSize(const std::string& reply) {
  return reply.size() + std::count(reply.begin(), reply.end(), '\n') + 2;
}

TEST(SplitLoginTest, EveryCutOfEveryReplyGivesTheWholeReplies) {
  std::size_t longest = 0;
  for (const Exchange& e : kExchanges) longest = std::max(longest, FramedSize(e.reply));
  for (std::size_t at = 1; at < longest; ++at) {
    SCOPED_TRACE("cut after byte " + std::to_string(at));
    FakeFtpServer server;
    for (const Exchange& e : kExchanges) {
      if (*e.command != '\0') server.Expect(e.command);
      server.ReplySplit(e.reply, std::min(at, FramedSize(e.reply) - 1));
    }
    server.Start();
    SessionUnderTest t(server.Port());
    ASSERT_TRUE(t.session.Connect()) << t.session.ErrorInfo();
    EXPECT_EQ(t.session.state().home_directory, "/home/u");
    EXPECT_EQ(t.session.SendCommand("SYST", ""), "215\r\n");
    EXPECT_EQ(t.session.state().message_info, "215");
    EXPECT_EQ(t.host.messages,
              (std::vector<std::string>{"220-Welcome\r\n220 Ready", "USER u", "331 Password required",
                                        "PASS ********", "230 Logged in", "PWD ",
                                        "257 \"/home/u\" is the current directory", "SYST ", "215"}));
    EXPECT_TRUE(server.WaitFinished());
  }
}

}  // namespace
}  // namespace tarvik::test
