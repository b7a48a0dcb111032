// Remote file operations against the scripted server: exact commands and outcomes.
#include <gtest/gtest.h>

#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_folder_rows.h"
#include "ftp/remote/remote_operations.h"
#include "tests/ftp/directory/remote_test_support.h"

namespace tarvik::test {
namespace {

TEST(CreateDirectoryTest, CreatesTheMissingChainFromTheTop) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("CWD /a/b/")
      .Reply("550 Failed to change directory.")  // is c in a/b? a/b is missing
      .Expect("CWD /a/")
      .Reply("250 Directory changed");  // is b in a?
  PlayListing(server, "LIST", FileLine("x.txt")).Expect("CWD /").Reply("250 Directory changed");
  PlayListing(server, "LIST", FolderLine("a"))  // is a in /? yes
      .Expect("MKD a/b")
      .Reply("257 \"/a/b\" created")
      .Expect("MKD a/b/c")
      .Reply("257 \"/a/b/c\" created");
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("a/b/c")) << t.session.ErrorInfo();
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"CWD /a/b/", "CWD /a/", "TYPE I", "PASV", "LIST", "CWD /",
                                          "TYPE I", "PASV", "LIST", "MKD a/b", "MKD a/b/c"}));
}

TEST(CreateDirectoryTest, WithoutTheCheckSendsOneMkdPerLevel) {
  FakeFtpServer server;
  PlayRootLogin(server).Expect("MKD a").Reply("550 a: File exists");
  PlayListing(server, "LIST", FolderLine("a"))  // "exists": is it really there?
      .Expect("MKD a/b")
      .Reply("257 \"/a/b\" created");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.transfer_settings().mkd_check = false;
  t.session.settings().list_working_dir = false;

  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("a/b/"));
  EXPECT_TRUE(server.WaitFinished());
}

// pure-ftpd's refusal holds "can't", a word of "already there": the folder is looked for.
TEST(CreateDirectoryTest, PermissionRefusalIsAFailure) {
  FakeFtpServer server;
  PlayRootLogin(server).Expect("MKD ro").Reply("550 Can't create directory: Permission denied");
  PlayListing(server, "LIST", FileLine("other.txt"));
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.transfer_settings().mkd_check = false;
  t.session.settings().list_working_dir = false;

  EXPECT_FALSE(RemoteOperations(t.session).CreateDirectory("ro"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.ErrorInfo(), "550 Can't create directory: Permission denied");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(CreateDirectoryTest, OtherRefusalsAreFailures) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("MKD x")
      .Reply("550 Permission denied.")
      .Expect("MKD y")
      .Reply("553 Not allowed.");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.transfer_settings().mkd_check = false;

  EXPECT_FALSE(RemoteOperations(t.session).CreateDirectory("x"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_FALSE(RemoteOperations(t.session).CreateDirectory("y"));
  EXPECT_EQ(t.session.ErrorNumber(), 16553);
  EXPECT_FALSE(RemoteOperations(t.session).CreateDirectory("  "));
  EXPECT_EQ(t.session.ErrorNumber(), 20005);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(CreateDirectoryTest, MemoOfTheBatchAnswersWithoutTraffic) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("MKD up/sub")
      .Reply("257 created")
      .Expect("MKD up/s")
      .Reply("257 created");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.transfer_settings().mkd_check = false;
  ASSERT_TRUE(t.session.Connect());
  RemoteFolderState& folders = t.session.remote_folders();
  folders.created_memo_active = true;
  folders.created_memo = "/up|";

  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("up"));       // in the memo
  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("up/sub"));   // MKD, then memo
  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("UP/Sub/"));  // memo, any case
  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("up/s"));     // "up/sub" is not "up/s"
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"MKD up/sub", "MKD up/s"}));
}

struct RefusalCase {
  const char* reply;
  const char* mkd_info;
  bool existing;
};
void PrintTo(const RefusalCase& c, std::ostream* out) {
  *out << (c.existing ? "means existing" : "means refused");
}

class MkdRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(MkdRefusalTest, ReadsTheWordList) {
  EXPECT_EQ(MkdRefusalMeansExisting(GetParam().reply, GetParam().mkd_info), GetParam().existing);
}

INSTANTIATE_TEST_SUITE_P(Replies, MkdRefusalTest,
                         ::testing::Values(RefusalCase{"550 a: File exists\r\n", "", true},
                                           RefusalCase{"550 Cannot create\r\n", "", true},
                                           RefusalCase{"550 目录不能创建\r\n", "", true},
                                           RefusalCase{"550 Permission denied\r\n", "", false},
                                           RefusalCase{"550 Directory is already there\r\n",
                                                       "already", true},
                                           RefusalCase{"550 a: File exists\r\n", "#already", false},
                                           RefusalCase{"550 Already there\r\n", "#ALREADY| ", true},
                                           RefusalCase{"550 whatever\r\n", "| |", false}));

// A folder holding d/f.txt: RMD is refused, the folder is emptied and removed, and RMD is sent
// once more (refused: the folder is gone).
FakeFtpServer& PlayRecursiveRemoval(FakeFtpServer& server) {
  server.Expect("RMD d")
      .Reply("550 Directory not empty")
      .Expect("CWD /d/")
      .Reply("250 Directory changed");
  return PlayListing(server, "LIST", FileLine("f.txt"))
      .Expect("CWD /")
      .Reply("250 Directory changed")
      .Expect("DELE /d/f.txt")
      .Reply("250 Deleted")
      .Expect("RMD /d")
      .Reply("250 Removed")
      .Expect("RMD d")
      .Reply("550 No such directory");
}

TEST(RemoveDirectoryTest, NonEmptyFolderTwiceAndThreeTimes) {
  FakeFtpServer server;
  PlayRecursiveRemoval(PlayRootLogin(server))
      .Expect("RMD d")
      .Reply("550 Directory not empty");  // second call: no recursion
  PlayRecursiveRemoval(server);           // third call: recursion again
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.RemoveDirectory("d"));
  EXPECT_EQ(t.session.statistics().removal_record, "*/d");
  EXPECT_FALSE(remote.RemoveDirectory("d"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.statistics().removal_record, "");
  EXPECT_TRUE(remote.RemoveDirectory("d"));
  EXPECT_TRUE(server.WaitFinished());
  const Commands once = {"RMD d", "CWD /d/",       "TYPE I", "PASV", "LIST",
                         "CWD /", "DELE /d/f.txt", "RMD /d", "RMD d"};
  Commands expected = once;
  expected.push_back("RMD d");
  expected.insert(expected.end(), once.begin(), once.end());
  EXPECT_EQ(AfterLogin(server), expected);
}

TEST(RemoveDirectoryTest, OtherRefusalsDoNotRecurse) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("RMD d")
      .Reply("550 Permission denied")
      .Expect("RMD e")
      .Reply("250 Removed");
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_FALSE(RemoteOperations(t.session).RemoveDirectory("d"));
  EXPECT_EQ(t.session.ErrorInfo(), "550 Permission denied");
  EXPECT_TRUE(RemoteOperations(t.session).RemoveDirectory("e/"));
  EXPECT_FALSE(RemoteOperations(t.session).RemoveDirectory(""));
  EXPECT_EQ(t.session.ErrorNumber(), 20005);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(DeleteFileTest, MissingFileSaidCannotFindCountsAsDeleted) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("DELE gone.txt")
      .Reply("550 gone.txt: The system cannot find the file specified.")
      .Expect("DELE locked.txt")
      .Reply("550 Permission denied")
      .Expect("DELE /pub/a.txt")
      .Reply("250 Deleted");
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.DeleteFile("gone.txt"));
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_FALSE(remote.DeleteFile("locked.txt"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_TRUE(remote.DeleteFile(" /pub/a.txt "));
  EXPECT_FALSE(remote.DeleteFile(""));
  EXPECT_EQ(t.session.ErrorNumber(), 20005);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(DeleteFileTest, DeletedAndRenamedFilesAreNotAnsweredFromTheCache) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", FileLine("a.txt", 5) + FileLine("b.txt", 6))
      .Expect("DELE pub/a.txt")
      .Reply("250 Deleted")
      .Expect("RNFR pub/b.txt")
      .Reply("350 Ready")
      .Expect("RNTO pub/c.txt")
      .Reply("250 Renamed");
  PlayListing(server, "LIST pub/a.txt", "");
  PlayListing(server, "LIST pub/b.txt", "");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  RemoteOperations remote(t.session);

  ASSERT_NE(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_EQ(remote.GetFileSize("pub/a.txt"), 5);  // from the listing
  EXPECT_TRUE(remote.DeleteFile("pub/a.txt"));
  EXPECT_TRUE(remote.RenameFile("pub/b.txt", "pub/c.txt"));
  EXPECT_FALSE(remote.ExistFile("pub/a.txt"));  // asks the server
  EXPECT_FALSE(remote.ExistFile("pub/b.txt"));
  EXPECT_TRUE(server.WaitFinished());
}

TEST(RenameFileTest, SendsRnfrThenRnto) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("RNFR /a.txt")
      .Reply("350 Ready for RNTO")
      .Expect("RNTO /b.txt")
      .Reply("250 Rename successful")
      .Expect("RNFR x")
      .Reply("550 No such file");
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.RenameFile("/a.txt", "/b.txt"));
  EXPECT_FALSE(remote.RenameFile("x", "y"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_TRUE(remote.RenameFile("same", " same "));  // no traffic
  EXPECT_FALSE(remote.RenameFile("", "y"));
  EXPECT_EQ(t.session.ErrorNumber(), 20005);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"RNFR /a.txt", "RNTO /b.txt", "RNFR x"}));
}

TEST(SetCurrentDirectoryTest, TracksTheWorkingFolder) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("CWD /a/b")
      .Reply("250 ok")
      .Expect("CWD ..")
      .Reply("250 ok")
      .Expect("CWD c/")
      .Reply("250 ok")
      .Expect("CWD /")
      .Reply("250 ok")
      .Expect("CWD nope")
      .Reply("550 No such directory");
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.SetCurrentDirectory("/a/b"));
  EXPECT_EQ(t.session.state().current_directory, "/a/b");
  EXPECT_TRUE(remote.SetCurrentDirectory(".."));
  EXPECT_EQ(t.session.state().current_directory, "/a");
  EXPECT_TRUE(remote.SetCurrentDirectory("c/"));
  EXPECT_EQ(t.session.state().current_directory, "/a/c");
  EXPECT_TRUE(remote.SetCurrentDirectory("."));
  EXPECT_EQ(t.session.state().current_directory, "/");
  EXPECT_TRUE(remote.SetCurrentDirectory(""));  // no traffic
  EXPECT_FALSE(remote.SetCurrentDirectory("nope"));
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.state().current_directory, "/");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(FileSizeTest, ListingThenSizeCommand) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST a.bin", FileLine("a.bin", 5000));
  PlayListing(server, "LIST gone.bin", "");
  PlayListing(server, "LIST gone.bin", "");
  // Each size query sets binary mode first: servers refuse SIZE in ASCII mode.
  const auto binary = [&server]() -> FakeFtpServer& {
    return server.Expect("TYPE I").Reply("200 Type set to I");
  };
  binary()
      .Expect("SIZE big.bin")
      .Reply("200 NOOP ok")  // a keep-alive reply: asks again
      .Expect("SIZE big.bin")
      .Reply("213 6000000000");
  binary().Expect("SIZE gone.bin").Reply("550 Could not get file size.");
  binary()
      .Expect("SIZE noop.bin")
      .Reply("500 'NOOPSIZE': command not understood")
      .Expect("SIZE noop.bin")
      .Reply("213 7");
  binary().Expect("SIZE bad.bin").Reply("500 SIZE not understood");
  binary().Expect("SIZE odd.bin").Reply("213 lots");
  binary().Expect("SIZE slow.bin");
  server.Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  EXPECT_EQ(remote.GetFileSize("a.bin"), 5000);
  EXPECT_EQ(remote.GetFileSize("gone.bin"), -1);  // not listed: 20007
  EXPECT_EQ(t.session.ErrorNumber(), 20007);
  EXPECT_FALSE(remote.ExistFile("gone.bin"));
  EXPECT_EQ(remote.GetRemoteFileSize("big.bin"), 6000000000.0);
  EXPECT_EQ(remote.GetRemoteFileSize("gone.bin"), -1);
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(remote.GetRemoteFileSize("noop.bin"), 7);  // the keep-alive's refusal: asks again
  EXPECT_EQ(remote.GetRemoteFileSize("bad.bin"), -2);
  EXPECT_EQ(t.session.ErrorNumber(), 16500);
  EXPECT_EQ(remote.GetRemoteFileSize("odd.bin"), -2);
  t.session.settings().timeout_seconds = 1;
  EXPECT_EQ(remote.GetRemoteFileSize("slow.bin"), -2);
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
}

// The root is never removed, whatever the path that resolves to it: nothing is sent.
TEST(RemoveDirectoryTest, RootIsRefused) {
  FakeFtpServer server;
  PlayRootLogin(server).Expect("CWD /a").Reply("250 Directory changed");
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);

  for (const char* root : {"/", "\\", "/a/..", "."}) {
    EXPECT_FALSE(remote.RemoveDirectory(root)) << root;
    EXPECT_EQ(t.session.ErrorNumber(), 20063) << root;
    EXPECT_EQ(t.session.ErrorInfo(), "Refusing to remove the root folder");
  }
  ASSERT_TRUE(remote.SetCurrentDirectory("/a"));
  EXPECT_FALSE(remote.RemoveDirectory(".."));
  EXPECT_EQ(t.session.ErrorNumber(), 20063);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"CWD /a"}));
}

TEST(FileSizeTest, TimeOutGivesMinusTwo) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST slow.bin")
      .Reply("150 Here comes the directory listing")
      .Expect("TYPE I")
      .Stall();
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().timeout_seconds = 1;

  EXPECT_EQ(RemoteOperations(t.session).GetFileSize("slow.bin"), -2);
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
}

TEST(ExistDirectoryTest, RootWithoutTrafficAndFoldersByListing) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST /pub/", FolderLine("Sub") + FileLine("file"));
  PlayListing(server, "LIST /pub/", FolderLine("Sub") + FileLine("file"));
  PlayListing(server, "LIST /pub/", FolderLine("Sub") + FileLine("file"));
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().list_working_dir = false;
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.ExistDirectory("/"));
  EXPECT_TRUE(remote.ExistDirectory(""));
  EXPECT_TRUE(remote.ExistDirectory("/pub/Sub/"));
  EXPECT_FALSE(remote.ExistDirectory("pub/sub"));  // the case decides
  EXPECT_FALSE(remote.ExistDirectory("pub/file"));
  EXPECT_TRUE(server.WaitFinished());
}

// Where only a folder of another case exists, MKD is sent and the server decides.
TEST(CreateDirectoryTest, AFolderOfAnotherCaseIsNotTheFolder) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST", FolderLine("sub"))
      .Expect("MKD /SUB")
      .Reply("257 \"/SUB\" created");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_TRUE(RemoteOperations(t.session).CreateDirectory("/SUB")) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

// A folder removed with its contents, created again and filled, is emptied again.
TEST(RemoveDirectoryTest, AFolderCreatedAgainIsRemovedAgain) {
  FakeFtpServer server;
  PlayRecursiveRemoval(PlayRootLogin(server)).Expect("MKD d").Reply("257 \"/d\" created");
  PlayRecursiveRemoval(server);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.transfer_settings().mkd_check = false;
  RemoteOperations remote(t.session);

  EXPECT_TRUE(remote.RemoveDirectory("d")) << t.session.ErrorInfo();
  EXPECT_TRUE(remote.CreateDirectory("d")) << t.session.ErrorInfo();
  EXPECT_EQ(t.session.statistics().removal_record, "");
  EXPECT_TRUE(remote.RemoveDirectory("d")) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test
