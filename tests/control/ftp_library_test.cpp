// The control's properties as a host sees them: defaults, rules on write, read rules.
#include "control/ftp_library.h"

#include <gtest/gtest.h>

#include <memory>

#include "core/errors/message_table.h"
#include "platform/ui/scripted_ui_provider.h"

namespace tarvik {
namespace {

class FtpLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override { platform::SetUiProvider(ui_); }
  void TearDown() override { platform::SetUiProvider(nullptr); }

  std::shared_ptr<platform::ScriptedUiProvider> ui_ =
      std::make_shared<platform::ScriptedUiProvider>();
  FtpLibrary control_;
};

TEST_F(FtpLibraryTest, FreshControl) {
  EXPECT_FALSE(control_.get_Connected());
  EXPECT_FALSE(control_.get_Busy());
  EXPECT_EQ(control_.get_FtpState(), FtpStates::ftpFreeState);
  EXPECT_EQ(control_.get_Version(), "4.6.0.3");
  EXPECT_EQ(control_.get_Timeout(), 30);
  EXPECT_EQ(control_.get_Port(), 21);
  EXPECT_EQ(control_.get_TransferMode(), 1);
  EXPECT_TRUE(control_.get_Passive());
  EXPECT_EQ(control_.get_RenameRule(), "{oldname}1");
  EXPECT_EQ(control_.get_ReplaceIndex(), 0);
  EXPECT_EQ(control_.get_Rcvbuf(), 0);
  EXPECT_EQ(control_.get_Sndbuf(), 0);
  EXPECT_EQ(control_.get_ProxyPort(), 80);
  EXPECT_EQ(control_.get_Title(), "FTP ActiveX Control");
  EXPECT_EQ(control_.get_ErrorNumber(), 0);
  EXPECT_EQ(control_.get_MessageInfo(), "");
  EXPECT_EQ(control_.get_MessageType(), 0);
}

TEST_F(FtpLibraryTest, ClampedWrites) {
  control_.put_Port(70000);
  EXPECT_EQ(control_.get_Port(), 21);
  control_.put_RemotePort(2121);
  EXPECT_EQ(control_.get_Port(), 2121);
  control_.put_Timeout(6001);
  EXPECT_EQ(control_.get_Timeout(), 30);
  control_.put_Timeout(120);
  EXPECT_EQ(control_.get_Timeout(), 120);
  control_.put_KeepAliveInterval(10);
  EXPECT_EQ(control_.Session().settings().keep_alive_interval, 30);
  control_.put_ListCommand("mlsd");
  EXPECT_EQ(control_.Session().settings().list_command, "LIST");
  control_.put_ListCommand("MLSD");
  EXPECT_EQ(control_.Session().settings().list_command, "MLSD");
  control_.put_AllowType("*.TXT, *.Doc");
  EXPECT_EQ(control_.get_AllowType(), ";txt; doc;");
  control_.put_Rcvbuf(5);
  EXPECT_EQ(control_.get_Rcvbuf(), 32);
}

TEST_F(FtpLibraryTest, PathsAreTrimmed) {
  control_.put_RemotePath("  /pub/a.txt  ");
  EXPECT_EQ(control_.get_RemotePath(), "/pub/a.txt");
  control_.put_LocalPath(" C:\\data\\ ");
  EXPECT_EQ(control_.get_LocalPath(), "C:\\data\\");
  control_.put_LocalPath("c:/a//b");  // normalised when read, and kept so
  EXPECT_EQ(control_.get_LocalPath(), "c:\\a\\b");
  EXPECT_EQ(control_.Session().settings().local_path, "c:\\a\\b");
}

TEST_F(FtpLibraryTest, ServerNameRule) {
  control_.put_ServerName("ftp://ftp.example.org:21/");
  EXPECT_EQ(control_.get_ServerName(), "ftp.example.org");
  control_.put_ServerName("ftp.example.org:2121");
  EXPECT_EQ(control_.get_ServerName(), "ftp.example.org:2121");
}

TEST_F(FtpLibraryTest, ScrambledServerNameIsDecoded) {
  control_.put_Lype(1);
  control_.put_ServerName("abfphcqbafyz");  // "Hi"
  EXPECT_EQ(control_.get_ServerName(), "Hi");
  control_.put_ServerName("garbage");
  EXPECT_EQ(control_.get_ServerName(), "");
  control_.put_Lype(100);
  control_.put_ServerName("abfphcqbafyz");
  EXPECT_EQ(control_.get_ServerName(), "abfphcqbafyz");
}

TEST_F(FtpLibraryTest, OverwriteSetsTheReplaceCode) {
  control_.put_Overwrite(true);
  EXPECT_TRUE(control_.get_Overwrite());
  EXPECT_EQ(control_.get_ReplaceIndex(), 3);
  control_.put_Overwrite(false);
  EXPECT_EQ(control_.get_ReplaceIndex(), 6);
}

TEST_F(FtpLibraryTest, ReplaceIndexMapsAndRefuses) {
  control_.put_ReplaceIndex(3);
  EXPECT_EQ(control_.get_ReplaceIndex(), 8);
  control_.put_ReplaceSetting(4);
  EXPECT_EQ(control_.get_ReplaceIndex(), 4);
  EXPECT_TRUE(ui_->boxes().empty());

  control_.put_ReplaceIndex(7);
  EXPECT_EQ(control_.get_ReplaceIndex(), 0);
  ASSERT_EQ(ui_->boxes().size(), 1u);
  EXPECT_EQ(ui_->boxes()[0].text,
            "Valid Number of 'ReplaceSetting':\n0:Show confirmation dialog\n1:Overwrite\n"
            "2:Resume\n3:Skip\n4:Rename");
  EXPECT_EQ(ui_->boxes()[0].title, "FTP ActiveX Control");
}

TEST_F(FtpLibraryTest, MaxSpeedSetsTheBuffers) {
  control_.put_MaxSpeed(100);  // 102,400 B/s: blocks of 1,280 bytes, then 95 %
  EXPECT_EQ(control_.Session().transfer_settings().max_speed, 102400);
  EXPECT_EQ(control_.get_Sndbuf(), 1216);
  EXPECT_EQ(control_.get_Rcvbuf(), 1216);
  control_.put_MaxSpeed(0);  // no limit: buffers stay
  EXPECT_EQ(control_.Session().transfer_settings().max_speed, 0);
  EXPECT_EQ(control_.get_Sndbuf(), 1216);
}

TEST_F(FtpLibraryTest, EncodingSwitches) {
  SessionSettings& settings = control_.Session().settings();
  control_.put_Encoding(" utf-8");
  EXPECT_TRUE(settings.utf8);
  control_.put_Encoding("AUTO");
  EXPECT_TRUE(settings.auto_encoding);
  control_.put_UTF8(false);
  EXPECT_FALSE(settings.utf8);
  EXPECT_FALSE(settings.auto_encoding);
  control_.put_Encoding("whatever");
  EXPECT_FALSE(settings.utf8);
}

TEST_F(FtpLibraryTest, ResultListsLoseTheirLeadingBar) {
  control_.Session().statistics().transferred_local_files = "|C:\\a|C:\\b";
  EXPECT_EQ(control_.get_TransferredLocalFiles(), "C:\\a|C:\\b");
  EXPECT_EQ(control_.Session().statistics().transferred_local_files, "C:\\a|C:\\b");
  control_.Session().statistics().queue_index = 4;
  EXPECT_EQ(control_.get_QueueTotal(), 4);
}

TEST_F(FtpLibraryTest, BusyByState) {
  using S = FtpStates;
  for (S state : {S::ftpFreeState, S::ftpClosed, S::ftpDirectoryInfoRetrieved,
                  S::ftpDownloadCompleted, S::ftpUploadCompleted}) {
    control_.Session().state().ftp_state = state;
    EXPECT_FALSE(control_.get_Busy()) << FtpStateName(state);
  }
  for (S state : {S::ftpConnected, S::ftpConnecting, S::ftpAuthentication, S::ftpQuiting}) {
    control_.Session().state().ftp_state = state;
    EXPECT_TRUE(control_.get_Busy()) << FtpStateName(state);
  }
}

TEST_F(FtpLibraryTest, DisconnectWhenNotConnected) {
  EXPECT_TRUE(control_.Disconnect());
  EXPECT_TRUE(control_.CloseConnection());
  EXPECT_EQ(control_.get_ErrorNumber(), 0);
}

TEST_F(FtpLibraryTest, ConnectWithoutAHostFails) {
  EXPECT_FALSE(control_.Connect());
  EXPECT_EQ(control_.get_ErrorNumber(), 20001);
  EXPECT_EQ(control_.get_ErrorInfo(), "Hostname Required");
  EXPECT_FALSE(control_.get_Connected());
}

TEST_F(FtpLibraryTest, TitleIsSharedByAllControls) {
  FtpLibrary other;
  control_.put_Title("My Host");
  EXPECT_EQ(other.get_Title(), "My Host");
  control_.put_Title("FTP ActiveX Control");
}

TEST_F(FtpLibraryTest, LangInfoReplacesTheTexts) {
  std::string texts;
  for (int row = 0; row < 51; ++row)
    texts += (row ? "|" : "") + std::string("T") + std::to_string(row);
  control_.put_LangInfo(texts);
  EXPECT_EQ(control_.get_LangInfo(), texts);
  LoadMessageTexts();
}

}  // namespace
}  // namespace tarvik
