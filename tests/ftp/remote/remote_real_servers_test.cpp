// Remote file operations against each real server, checked on the server's disk.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ftp/remote/remote_operations.h"
#include "tests/ftp/directory/remote_test_support.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

class RealRemoteTest : public RealFtpServerTest {
 protected:
  void SetUp() override { work_ = Server().FreshDir("ops"); }
  fs::path work_;  // RootDir()/ops, empty, the account's
};

TEST_P(RealRemoteTest, CreatesAChainWhereOnlyTheTopExists) {
  Server().FreshDir("ops/a");
  for (bool check : {true, false}) {
    RealSession s(Server());
    s.session.transfer_settings().mkd_check = check;
    // Without the check an existing folder is known by the refusal's words; one server says only
    // "Create directory operation failed." (the refusal is then checked by a listing).
    if (!check) s.session.settings().mkd_info = "failed";
    const std::string top = check ? "/ops/a/b/c" : "/ops/a/x/y";
    EXPECT_TRUE(RemoteOperations(s.session).CreateDirectory(top)) << s.session.ErrorInfo();
    EXPECT_TRUE(fs::is_directory(Server().LocalPath(top)));
    EXPECT_EQ(s.session.ErrorNumber(), 0) << s.session.ErrorInfo();
    // Already there: still True.
    EXPECT_TRUE(RemoteOperations(s.session).CreateDirectory(top)) << s.session.ErrorInfo();
  }
}

TEST_P(RealRemoteTest, RefusedCreationIsAFailure) {
  // A folder the server's account may not write to.
  const fs::path locked = work_ / "locked";
  fs::create_directory(locked);
  ::chown(locked.c_str(), 0, 0);
  ::chmod(locked.c_str(), 0555);
  RealSession s(Server());
  s.session.transfer_settings().mkd_check = false;
  EXPECT_FALSE(RemoteOperations(s.session).CreateDirectory("/ops/locked/new"));
  EXPECT_GT(s.session.ErrorNumber(), 16000) << s.session.ErrorInfo();
  EXPECT_FALSE(fs::exists(locked / "new"));
  if (GetParam() == "pureftpd") {
    // Its refusal holds "can't", which alone would have read as "already there".
    EXPECT_NE(s.session.ErrorInfo().find("Can't create directory"), std::string::npos)
        << s.session.ErrorInfo();
  }
}

TEST_P(RealRemoteTest, RemovesANonEmptyTree) {
  Server().PutFile("ops/tree/f1.txt", "1");
  Server().PutFile("ops/tree/sub/f2.txt", "22");
  Server().PutFile("ops/tree/sub/deeper/f3.txt", "333");
  RealSession s(Server());
  EXPECT_TRUE(RemoteOperations(s.session).RemoveDirectory("/ops/tree")) << s.session.ErrorInfo();
  EXPECT_FALSE(fs::exists(work_ / "tree"));
  EXPECT_TRUE(fs::exists(work_));
}

TEST_P(RealRemoteTest, RenamesAndDeletes) {
  Server().PutFile("ops/old.txt", "text");
  RealSession s(Server());
  RemoteOperations remote(s.session);
  EXPECT_TRUE(remote.RenameFile("/ops/old.txt", "/ops/new.txt")) << s.session.ErrorInfo();
  EXPECT_FALSE(fs::exists(work_ / "old.txt"));
  EXPECT_EQ(Server().GetFile("ops/new.txt"), "text");
  EXPECT_FALSE(remote.RenameFile("/ops/old.txt", "/ops/other.txt"));
  EXPECT_GT(s.session.ErrorNumber(), 16000);

  EXPECT_TRUE(remote.DeleteFile("/ops/new.txt")) << s.session.ErrorInfo();
  EXPECT_FALSE(fs::exists(work_ / "new.txt"));
}

TEST_P(RealRemoteTest, SizesOfPresentAndMissingFiles) {
  Server().PutFile("ops/five.bin", "12345");
  RealSession s(Server());
  RemoteOperations remote(s.session);
  EXPECT_EQ(remote.GetFileSize("/ops/five.bin"), 5) << s.session.ErrorInfo();
  EXPECT_EQ(remote.GetRemoteFileSize("/ops/five.bin"), 5) << s.session.ErrorInfo();
  EXPECT_TRUE(remote.ExistFile("/ops/five.bin"));
  EXPECT_EQ(remote.GetFileSize("/ops/missing.bin"), -1) << s.session.ErrorInfo();
  EXPECT_EQ(remote.GetRemoteFileSize("/ops/missing.bin"), -1) << s.session.ErrorInfo();
  EXPECT_FALSE(remote.ExistFile("/ops/missing.bin"));
}

TEST_P(RealRemoteTest, FoldersExistByListingAndTheRootWithoutTraffic) {
  Server().FreshDir("ops/Here");
  RealSession s(Server());
  RemoteOperations remote(s.session);
  ASSERT_TRUE(s.session.Connect());
  const std::size_t messages = s.host.messages.size();
  EXPECT_TRUE(remote.ExistDirectory("/"));
  EXPECT_EQ(s.host.messages.size(), messages);
  EXPECT_TRUE(remote.ExistDirectory("/ops/Here"));
  EXPECT_FALSE(remote.ExistDirectory("/ops/here"));  // these servers tell case apart
  EXPECT_FALSE(remote.ExistDirectory("/ops/nowhere"));
  EXPECT_TRUE(remote.SetCurrentDirectory("/ops"));
  EXPECT_TRUE(remote.ExistDirectory("Here"));
  EXPECT_TRUE(remote.SetCurrentDirectory(".."));
  EXPECT_EQ(s.session.state().current_directory, "/");
}

INSTANTIATE_TEST_SUITE_P(Servers, RealRemoteTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
