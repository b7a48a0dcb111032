// The control against real FTP servers on loopback.
#include <gtest/gtest.h>

#include <filesystem>

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

// Folders and files through the control's own members, with MLSD asked for where offered.
TEST_P(RealServerControlTest, RemoteFoldersAndFilesThroughTheControl) {
  Aim(Server().User(), Server().Password());
  control_.put_ListCommand("MLSD");
  Server().FreshDir("ctl");
  Server().PutFile("ctl/a/f.txt", "hello");
  Server().GiveToAccount(Server().RootDir() / "ctl");

  EXPECT_TRUE(control_.CreateDirectory("/ctl/a/b")) << control_.get_ErrorInfo();
  EXPECT_TRUE(control_.ExistDirectory("/ctl/a/b"));
  const std::string list = control_.GetFileList("/ctl/a");
  EXPECT_EQ(list.rfind("1*b*", 0), 0u) << list;
  EXPECT_NE(list.find("|0*f.txt*5*"), std::string::npos) << list;
  const auto files = control_.GetFtpDirectoryInfo("/ctl/a");
  ASSERT_NE(files, nullptr) << control_.get_ErrorInfo();
  EXPECT_EQ(files->ItemAt(2)->FileName(), "f.txt");
  EXPECT_EQ(control_.GetFtpFileSize("/ctl/a/f.txt"), 5);

  EXPECT_TRUE(control_.RenameFile("/ctl/a/f.txt", "/ctl/a/g.txt")) << control_.get_ErrorInfo();
  EXPECT_TRUE(control_.ExistFile("/ctl/a/g.txt"));
  EXPECT_EQ(control_.GetFileInfo("/ctl/a/g.txt").rfind("g.txt*5*", 0), 0u);
  EXPECT_TRUE(control_.DeleteFile("/ctl/a/g.txt")) << control_.get_ErrorInfo();
  EXPECT_EQ(control_.GetFileSize("/ctl/a/g.txt"), -1);

  EXPECT_TRUE(control_.SetCurrentDirectory("/ctl"));
  EXPECT_EQ(control_.GetCurrentDirectory(), "/ctl");
  EXPECT_TRUE(control_.SetCurrentDirectory("/"));
  EXPECT_TRUE(control_.RemoveDirectory("/ctl")) << control_.get_ErrorInfo();
  EXPECT_FALSE(std::filesystem::exists(Server().RootDir() / "ctl"));
}

INSTANTIATE_TEST_SUITE_P(Servers, RealServerControlTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
