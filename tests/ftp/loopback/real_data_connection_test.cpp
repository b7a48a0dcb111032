// Data connections, passive and active, against the real servers: a directory listing travels
// over each.
#include <gtest/gtest.h>

#include "tests/ftp/loopback/session_harness.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::test {
namespace {

class RealDataConnectionTest : public RealFtpServerTest {
 protected:
  void SetUp() override {
    RealFtpServer& server = Server();
    server.FreshDir("listed");
    server.PutFile("listed/visible-file.txt", "contents");
    t_ = std::make_unique<SessionUnderTest>(server.Port(), server.User(), server.Password());
    ASSERT_TRUE(t_->session.Connect()) << t_->session.ErrorInfo();
    t_->session.SetTransferSink(&sink_);
    ASSERT_EQ(t_->session.SendCommand("TYPE", "A").rfind("200", 0), 0u);
  }
  void TearDown() override {
    if (t_) {
      t_->session.SetTransferSink(nullptr);
      t_->session.Disconnect();
    }
  }
  // Lists the test folder over the data connection opened before, and waits for its end.
  void ExpectListing() {
    const std::string reply = t_->session.SendCommand("LIST", "listed");
    EXPECT_TRUE(reply.starts_with("150") || reply.starts_with("125")) << reply;
    ASSERT_TRUE(PumpUntil([&] { return sink_.closed == 1; }));
    EXPECT_NE(sink_.received.find("visible-file.txt"), std::string::npos) << sink_.received;
  }

  std::unique_ptr<SessionUnderTest> t_;
  RecordingSink sink_;
};

TEST_P(RealDataConnectionTest, PassiveListing) {
  const std::string reply = t_->session.SendCommand("PASV", "");
  ASSERT_EQ(reply.rfind("227", 0), 0u) << reply;
  t_->session.data_connection().EstablishPasvDataConnection(reply);
  ASSERT_TRUE(PumpUntil([&] { return sink_.connected == 1 || t_->session.ErrorRecorded(); }));
  ASSERT_EQ(sink_.connected, 1) << t_->session.ErrorInfo();
  ExpectListing();
}

TEST_P(RealDataConnectionTest, ActiveListing) {
  // PORT runs as a raw command so that its reply is taken before LIST goes out.
  t_->session.BeginAsyncMethod(Operation::kRawCommand);
  t_->session.data_connection().SendPORTCommand();
  ASSERT_TRUE(PumpUntil([&] { return t_->session.state().current_operation == Operation::kNone; }));
  ASSERT_EQ(t_->session.state().command_reply.rfind("200", 0), 0u)
      << t_->session.state().command_reply;
  ExpectListing();
}

INSTANTIATE_TEST_SUITE_P(Servers, RealDataConnectionTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
