// The control against real FTP servers on loopback.
#include <gtest/gtest.h>

#include "control/ftp_library.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::test {
namespace {

class RealServerControlTest : public RealFtpServerTest {
 protected:
  void Aim(const std::string& user, const std::string& password) {
    RealFtpServer& server = Server();
    control_.put_ServerName(server.Host());
    control_.put_Port(server.Port());
    control_.put_Username(user);
    control_.put_Password(password);
  }
  FtpLibrary control_;
};

TEST_P(RealServerControlTest, NamedUserSession) {
  Aim(Server().User(), Server().Password());
  ASSERT_TRUE(control_.Connect()) << control_.get_ErrorNumber() << " " << control_.get_ErrorInfo()
                                  << "\n"
                                  << Server().Output();
  EXPECT_TRUE(control_.get_Connected());
  const std::string system = control_.SendCommand("SYST", "");
  EXPECT_EQ(system.rfind("215 ", 0), 0u) << system;
  EXPECT_TRUE(system.ends_with("\r\n"));
  EXPECT_EQ(control_.GetCurrentDirectory(), "/");
  EXPECT_TRUE(control_.Disconnect());
  EXPECT_FALSE(control_.get_Connected());
  EXPECT_EQ(control_.get_FtpState(), FtpStates::ftpClosed);
}

TEST_P(RealServerControlTest, AnonymousSession) {
  if (!Server().AllowsAnonymous()) GTEST_SKIP() << GetParam() << " allows no anonymous login";
  Aim("", "");
  ASSERT_TRUE(control_.Connect()) << control_.get_ErrorNumber() << " " << control_.get_ErrorInfo();
  EXPECT_EQ(control_.get_Username(), "anonymous");
  EXPECT_EQ(control_.GetCurrentDirectory(), "/");
  EXPECT_TRUE(control_.Disconnect());
}

TEST_P(RealServerControlTest, WrongPasswordFailsWith16530) {
  Aim(Server().User(), Server().Password() + "-wrong");
  control_.put_Timeout(60);  // some servers delay their refusal
  EXPECT_FALSE(control_.Connect());
  EXPECT_EQ(control_.get_ErrorNumber(), 16530) << control_.get_ErrorInfo();
  EXPECT_EQ(control_.get_ErrorInfo().rfind("530", 0), 0u) << control_.get_ErrorInfo();
  EXPECT_FALSE(control_.get_Connected());

  // The control is usable again with the right password.
  control_.put_Password(Server().Password());
  EXPECT_TRUE(control_.Connect()) << control_.get_ErrorInfo();
}

TEST_P(RealServerControlTest, AutoEncodingFollowsFeat) {
  Aim(Server().User(), Server().Password());
  control_.put_Encoding("AUTO");
  ASSERT_TRUE(control_.Connect()) << control_.get_ErrorInfo();
  const std::string features = control_.SendCommand("FEAT", "");
  bool lists_utf8 = false;
  for (std::size_t start = 0; start < features.size();) {
    std::size_t end = features.find("\r\n", start);
    if (end == std::string::npos) end = features.size();
    std::string line = features.substr(start, end - start);
    line.erase(0, line.find_first_not_of(' '));
    if (line == "UTF8") lists_utf8 = true;
    start = end + 2;
  }
  EXPECT_EQ(control_.Session().settings().utf8, lists_utf8) << features;
  EXPECT_TRUE(control_.Disconnect());
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServerControlTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
