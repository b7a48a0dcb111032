// A login whose own probes (Encoding=AUTO: keep-alive probe, FEAT, PWD of the home folder) break
// the control connection: Connect fails with the probe's error, leaves no session and never logs
// in again from inside itself; the next call logs in once more and fails the same way.
#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "tests/ftp/loopback/session_harness.h"

namespace tarvik::test {
namespace {

struct ProbeFault {
  const char* name;
  const char* probe;  // the command whose reply breaks the connection
  std::function<void(FakeFtpServer&)> fault;
  std::int32_t error;
  bool times_out = false;  // the Timeout passes: a clock that runs fast
};
void PrintTo(const ProbeFault& fault, std::ostream* out) {
  *out << fault.name;
}

// A first line, then more than the longest reply the session collects.
const std::string kEndlessFeatures = "211-Features:\r\n" + std::string((1 << 20) + 4096, 'x');

const ProbeFault kFaults[] = {
    {"KeepAliveProbeDropped", "NOOP", [](FakeFtpServer& s) { s.Drop(); }, 16011},
    {"FeatDropped", "FEAT", [](FakeFtpServer& s) { s.Drop(); }, 16011},
    {"FeatLongerThanAReply", "FEAT",
     [](FakeFtpServer& s) { s.ReplyRaw(kEndlessFeatures).ExpectClose(); }, 16012},
    {"FeatNeverEnds", "FEAT", [](FakeFtpServer& s) { s.Reply("211-Features:").ExpectClose(); },
     20004, true},
    {"PwdDropped", "PWD", [](FakeFtpServer& s) { s.Drop(); }, 16011},
    {"PwdReset", "PWD", [](FakeFtpServer& s) { s.Reset(); }, 16011},
};

void PlayLoginBrokenAt(FakeFtpServer& server, const ProbeFault& fault) {
  PlayUserAndPassword(server);
  for (const std::string command : {"NOOP", "FEAT", "PWD"}) {
    server.Expect(command);
    if (command == fault.probe) return fault.fault(server);
    server.Reply(command == "PWD" ? "257 \"/\"" : "200 ok");
  }
}

class LoginProbeFaultTest : public ::testing::TestWithParam<ProbeFault> {};

TEST_P(LoginProbeFaultTest, FailsTheConnectWithTheProbesErrorAndLogsInOncePerCall) {
  const ProbeFault& fault = GetParam();
  FakeFtpServer server;
  PlayLoginBrokenAt(server, fault);
  PlayLoginBrokenAt(server, fault);
  server.Start();
  ScopedClock clock(fault.times_out ? std::make_shared<SteppingClock>(1'000) : nullptr);
  SessionUnderTest t(server.Port());
  t.session.settings().auto_encoding = true;

  EXPECT_FALSE(t.session.Connect());
  EXPECT_EQ(t.session.ErrorNumber(), fault.error) << t.session.ErrorInfo();
  EXPECT_FALSE(t.session.Connected());
  EXPECT_EQ(server.ControlConnections(), 1);

  EXPECT_EQ(t.session.GetCurrentDirectory(), "");
  EXPECT_EQ(t.session.ErrorNumber(), fault.error) << t.session.ErrorInfo();
  EXPECT_FALSE(t.session.Connected());
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(server.ControlConnections(), 2);
}

INSTANTIATE_TEST_SUITE_P(Probes, LoginProbeFaultTest, ::testing::ValuesIn(kFaults),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvik::test
