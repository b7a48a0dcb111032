// Listings against the scripted server: the exact commands of each listing mode, sorting, empty
// and missing folders, time-outs, and single-file lookups by LIST, MLST and the cache.
#include <gtest/gtest.h>

#include "ftp/directory/remote_folder_state.h"
#include "ftp/directory/remote_listing.h"
#include "ftp/directory/running_listing.h"
#include "tests/ftp/directory/remote_test_support.h"

namespace tarvik::test {
namespace {

std::vector<std::string> Names(const CFtpFiles& files) {
  std::vector<std::string> names;
  for (const auto& entry : files) names.push_back(entry->FileName());
  return names;
}

const std::string kPubListing = FolderLine("c") + FileLine("B.txt", 10) + FileLine("a.txt", 20);

TEST(GetFtpDirectoryInfoTest, WorkingFolderModeChangesInListsAndChangesBack) {
  FakeFtpServer server;
  PlayRootLogin(server).Expect("CWD pub/").Reply("250 Directory changed");
  PlayListing(server, "LIST", kPubListing).Expect("CWD /").Reply("250 Directory changed");
  server.Start();
  SessionUnderTest t(server.Port());

  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("pub");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"CWD pub/", "TYPE I", "PASV", "LIST", "CWD /"}));
  EXPECT_EQ(Names(*files), (std::vector<std::string>{"a.txt", "B.txt", "c"}));
  EXPECT_EQ(files->ItemAt(1)->FilePath(), "/pub/a.txt");
  EXPECT_TRUE(files->ItemAt(3)->IsDirectory());
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_EQ(t.session.state().current_directory, "/");
  EXPECT_EQ(t.session.state().ftp_state, FtpStates::ftpDirectoryInfoRetrieved);
}

// Several megabytes arrive in large receives, which the data connection takes over from the
// socket without copying: every line must come through once and in order.
TEST(GetFtpDirectoryInfoTest, ALargeListingArrivesWhole) {
  constexpr int kEntries = 60'000;
  std::string text;
  for (int i = 0; i < kEntries; ++i) text += FileLine("f" + std::to_string(100'000 + i), i);
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST big/", text);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("big");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  ASSERT_EQ(files->Size(), static_cast<std::size_t>(kEntries));
  for (int i = 0; i < kEntries; ++i) {
    const auto& entry = files->ItemAt(i + 1);
    ASSERT_EQ(entry->FileName(), "f" + std::to_string(100'000 + i));
    ASSERT_EQ(entry->FileSize(), i);
  }
  EXPECT_TRUE(server.WaitFinished());
}

// A listing beyond the bounds of one listing (lowered here) fails with its own number instead of
// filling the memory, and the session lists the next folder.
struct ListingBound {
  const char* name;
  ListingLimits limits;
};

class ListingBoundTest : public ::testing::TestWithParam<ListingBound> {};

TEST_P(ListingBoundTest, ALargerListingFailsAndTheNextOneWorks) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += FileLine("f" + std::to_string(i));
  FakeFtpServer server;
  PlayListing(PlayListing(PlayRootLogin(server), "LIST big/", text), "LIST pub/", kPubListing);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  t.session.remote_folders().listing_limits = GetParam().limits;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("big"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20066);
  EXPECT_NE(t.session.ErrorInfo().find("more than one listing may hold"), std::string::npos)
      << t.session.ErrorInfo();
  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("pub");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(files->Size(), 3u);
  EXPECT_TRUE(server.WaitFinished());
}

INSTANTIATE_TEST_SUITE_P(Bounds, ListingBoundTest,
                         ::testing::Values(ListingBound{"Bytes", {1000, 1000}},
                                           ListingBound{"Entries", {1 << 20, 99}}),
                         [](const ::testing::TestParamInfo<ListingBound>& info) {
                           return std::string(info.param.name);
                         });

TEST(GetFtpDirectoryInfoTest, AsteriskModeListsThePattern) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/*", kPubListing);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  PutListSuffix(t.session, "*");

  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("pub");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"TYPE I", "PASV", "LIST pub/*"}));
  EXPECT_EQ(files->Size(), 3u);
}

TEST(GetFtpDirectoryInfoTest, ListAllAddsItsSwitches) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST -al pub/", kPubListing);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  t.session.settings().list_all = true;

  EXPECT_NE(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, MlsdPatternGoesOutAsListAndMlsdStays) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/*.txt", kPubListing);
  server.Expect("CWD pub/").Reply("250 Directory changed");
  PlayListing(server, "MLSD", "type=file;size=5;modify=20190105123045; m.txt\r\n")
      .Expect("CWD /")
      .Reply("250 Directory changed");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().list_command = "MLSD";

  EXPECT_NE(RemoteListing(t.session).GetFtpDirectoryInfo("pub/*.txt"), nullptr);
  EXPECT_EQ(t.session.settings().list_command, "MLSD");
  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("pub");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(files->ItemAt(1)->FileSize(), 5);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, ActiveModeEndsWithTheDataConnection) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .ExpectPort()
      .Reply("200 PORT command successful")
      .Expect("LIST pub/")
      .Reply("150 Here comes the directory listing")
      .SendData(kPubListing)
      .Reply("226 Directory send OK");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  t.session.settings().passive = false;

  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("pub");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(files->Size(), 3u);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, EmptyFolderGivesNoneWithoutError) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST empty/", "");
  PlayListing(server, "LIST empty/", "");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("empty"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_EQ(RemoteListing(t.session).GetFileList("empty"), "");
  EXPECT_EQ(t.session.ErrorNumber(), 0);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, MissingFolderReportsTheServersWords) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST nope/")
      .Reply("550 nope/: No such file or directory")
      .Expect("CWD nope/")
      .Reply("550 Failed to change directory.");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("nope"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.ErrorInfo(), "550 nope/: No such file or directory");
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);

  t.session.settings().list_working_dir = true;
  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("nope"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_EQ(t.session.ErrorInfo(), "550 Failed to change directory.");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, PathOfAFileReports20008) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST x.txt/", FileLine("x.txt"));
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("x.txt"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20008);
  EXPECT_EQ(t.session.ErrorInfo(), "Can't find the folder[ x.txt ]");
  EXPECT_EQ(t.session.state().ftp_state, FtpStates::ftpDirectoryInfoRetrieved);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, UnreadableListingReports16002) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/",
              "type=file;size=huge;modify=20190105123045; a.txt\r\n");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 16002);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, TimeOutReports20004AndRestoresTheWorkingFolder) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("CWD pub/")
      .Reply("250 Directory changed")
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST")
      .Reply("150 Here comes the directory listing")
      // No data and no completion: the listing waits until Timeout.
      .Expect("CWD /")
      .Reply("250 Directory changed");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().timeout_seconds = 1;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20004);
  EXPECT_EQ(t.session.state().current_directory, "/");
  EXPECT_EQ(t.session.state().current_operation, Operation::kNone);
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"CWD pub/", "TYPE I", "PASV", "LIST", "CWD /"}));
}

TEST(GetFileListTest, JoinsTheSortedEntriesAsText) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", kPubListing);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  const std::string text = RemoteListing(t.session).GetFileList("pub");
  const std::string time = RemoteListing(t.session).GetFtpFileInfo("pub/a.txt")->LastWriteTime();
  EXPECT_FALSE(time.empty());
  EXPECT_EQ(text, "0*a.txt*20*" + time + "|0*B.txt*10*" + time + "|1*c*4096*" + time);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpFileInfoTest, ListsTheFileThenAnswersFromTheCache) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/a.txt", FileLine("a.txt", 5'000'000'000));
  server.Start();
  SessionUnderTest t(server.Port());

  const auto file = RemoteListing(t.session).GetFtpFileInfo("pub/a.txt");
  ASSERT_NE(file, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(file->FileSize(), 5e9);
  EXPECT_EQ(file->FilePath(), "/pub/a.txt");
  const auto again = RemoteListing(t.session).GetFtpFileInfo("/pub/A.txt");
  ASSERT_NE(again, nullptr);
  EXPECT_EQ(again->FileSize(), 5e9);
  EXPECT_EQ(RemoteListing(t.session).GetFileInfo("pub/a.txt"),
            "a.txt*5000000000*" + file->LastWriteTime());
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), (Commands{"TYPE I", "PASV", "LIST pub/a.txt"}));
}

TEST(GetFtpFileInfoTest, NameOfAFolderReports20007) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST d", FileLine("inner.txt"));
  server.Start();
  SessionUnderTest t(server.Port());

  EXPECT_EQ(RemoteListing(t.session).GetFtpFileInfo("d"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20007);
  EXPECT_EQ(t.session.ErrorInfo(), "Can't find the file[ d ]");
  EXPECT_EQ(RemoteListing(t.session).GetFileInfo(""), "");
  EXPECT_EQ(t.session.ErrorNumber(), 20005);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpFileInfoTest, ListDirForFileListsTheParent) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/*", FileLine("z.txt") + FileLine("a.txt", 3));
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.state().list_dir_for_file = true;
  t.session.state().list_with_asterisk = true;

  const auto file = RemoteListing(t.session).GetFtpFileInfo("pub/a.txt");
  ASSERT_NE(file, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(file->FileSize(), 3);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpFileInfoTest, MlstGivesTheFactsOfOneFile) {
  FakeFtpServer server;
  PlayRootLogin(server)
      .Expect("MLST pub/a.txt")
      .Reply("250-Listing pub/a.txt\n type=file;size=42;modify=20190105123045; /pub/a.txt\n250 End")
      .Expect("MLST pub")
      .Reply("250-Listing pub\n type=dir;modify=20190105123045; /pub\n250 End")
      .Expect("MLST gone.txt")
      .Reply("550 No such file or directory.");
  server.Start();
  SessionUnderTest t(server.Port());
  ASSERT_TRUE(t.session.Connect());
  t.session.settings().list_command = "MLSD";
  RemoteListing listing(t.session);

  const auto file = listing.GetFtpFileInfo("pub/a.txt");
  ASSERT_NE(file, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(file->FileName(), "a.txt");
  EXPECT_EQ(file->FileSize(), 42);
  EXPECT_EQ(file->FilePath(), "");
  EXPECT_EQ(listing.GetFtpFileInfo("pub"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20007);
  EXPECT_EQ(listing.GetFtpFileInfo("gone.txt"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 16550);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpFileInfoTest, UploadedNamesAreNotTakenFromTheCache) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", FileLine("x.txt") + FileLine("y.txt"));
  PlayListing(server, "LIST pub/x.txt", FileLine("x.txt", 77));
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  RemoteListing listing(t.session);

  ASSERT_NE(listing.GetFtpDirectoryInfo("pub"), nullptr);
  RemoteFolderState& folders = t.session.remote_folders();
  folders.cache.NoteChanged("x.txt");
  folders.cache_only_lookups = true;
  EXPECT_EQ(listing.GetFtpFileInfo("pub/x.txt"), nullptr);  // cache only: no traffic
  EXPECT_NE(listing.GetFtpFileInfo("/pub/y.txt"), nullptr);
  EXPECT_EQ(listing.GetFtpFileInfo("y.txt"), nullptr);  // /y.txt is not /pub/y.txt
  folders.cache_only_lookups = false;
  const auto asked = listing.GetFtpFileInfo("pub/x.txt");  // asks the server
  ASSERT_NE(asked, nullptr);
  EXPECT_EQ(asked->FileSize(), 77);
  EXPECT_TRUE(server.WaitFinished());
}

// A bare name is a file of the working folder, not of the folder listed last.
TEST(GetFtpFileInfoTest, TheCacheAnswersOnlyForTheFolderAPathResolvesTo) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", FileLine("a.txt", 5));
  PlayListing(server, "LIST a.txt", "");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  RemoteListing listing(t.session);

  ASSERT_FALSE(listing.GetFileList("pub").empty()) << t.session.ErrorInfo();
  EXPECT_EQ(listing.GetFtpFileInfo("a.txt"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20007);
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpFileInfoTest, SecondMethodWhileListingIsRefused) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", kPubListing);
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  std::shared_ptr<CFtpFiles> inner;
  bool called = false;
  t.host.on_server_message = [&] {
    if (called || t.session.state().message_info != "LIST pub/") return;
    called = true;
    inner = RemoteListing(t.session).GetFtpDirectoryInfo("other");
    EXPECT_EQ(t.session.ErrorNumber(), 16009);
  };

  EXPECT_NE(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_TRUE(called);
  EXPECT_EQ(inner, nullptr);
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test

namespace tarvik::test {
namespace {

TEST(RunningListingTest, CharacterSplitBetweenArrivalsIsReadWhole) {
  SessionUnderTest t(FakeFtpServer::ClosedPort());
  t.session.settings().utf8 = true;
  RunningListing listing(t.session, "", false, 1 << 20);
  EXPECT_EQ(t.session.transfer_sink(), &listing);
  const std::string line = FileLine("Größe.txt");
  const std::size_t split = line.find("ö") + 1;  // between the two bytes of "ö"
  listing.OnDataReceived(line.substr(0, split));
  listing.OnDataReceived(line.substr(split));
  EXPECT_EQ(listing.TakeText(), line);
  listing.OnDataReceived(line);
  listing.OnDataAborted();
  EXPECT_EQ(listing.TakeText(), "");
}

TEST(GetFtpDirectoryInfoTest, CacheFileListOffKeepsNoCache) {
  FakeFtpServer server;
  PlayListing(PlayRootLogin(server), "LIST pub/", kPubListing);
  PlayListing(server, "LIST a.txt", FileLine("a.txt", 20));
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  t.session.transfer_settings().cache_file_list = false;

  ASSERT_NE(RemoteListing(t.session).GetFtpDirectoryInfo("pub"), nullptr);
  EXPECT_TRUE(t.session.remote_folders().cache.Empty());
  EXPECT_NE(RemoteListing(t.session).GetFtpFileInfo("a.txt"), nullptr);  // asks the server
  EXPECT_TRUE(server.WaitFinished());
}

// A server that says it cut the listing: MLSD where FEAT offers it, else a clear failure.
FakeFtpServer& PlayTruncatedList(FakeFtpServer& server) {
  return server.Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST big/")
      .Reply("150 Accepted data connection")
      .SendData(FileLine("a.txt"))
      .Reply("226-Options: -l\n226 Output truncated to 10000 matches");
}

TEST(GetFtpDirectoryInfoTest, TruncatedListingIsListedAgainByMlsd) {
  FakeFtpServer server;
  PlayTruncatedList(PlayRootLogin(server))
      .Expect("FEAT")
      .Reply("211-Extensions supported:\n MLST type*;size*;modify*;\n211 End.")
      .Expect("CWD big/")
      .Reply("250 OK");
  server.Expect("TYPE I").Reply("200 Type set to I").Expect("PASV").ReplyPasv();
  server.ExpectLike("MLSD*")
      .Reply("150 Accepted data connection")
      .SendData(
          "type=file;size=1;modify=20190105123045; a.txt\r\n"
          "type=file;size=2;modify=20190105123045; b.txt\r\n")
      .Reply("226 2 matches total")
      .Expect("CWD /")
      .Reply("250 OK");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("big");
  ASSERT_NE(files, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(Names(*files), (std::vector<std::string>{"a.txt", "b.txt"}));
  EXPECT_EQ(t.session.settings().list_command, "LIST");
  EXPECT_TRUE(server.WaitFinished());
}

TEST(GetFtpDirectoryInfoTest, TruncatedListingWithoutMlsdFails) {
  FakeFtpServer server;
  PlayTruncatedList(PlayRootLogin(server))
      .Expect("FEAT")
      .Reply("211-Extensions supported:\n SIZE\n211 End.");
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;

  EXPECT_EQ(RemoteListing(t.session).GetFtpDirectoryInfo("big"), nullptr);
  EXPECT_EQ(t.session.ErrorNumber(), 20064);
  EXPECT_EQ(t.session.ErrorInfo(), "The server truncated the listing");
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test
