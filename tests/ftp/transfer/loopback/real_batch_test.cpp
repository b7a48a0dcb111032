// Batches against the real servers: whole trees both ways, patterns and source folders, names a
// listing must not turn into local paths, the upload queue changed from a progress handler, Abort,
// the status files, and the first failure ending the batch.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "tests/ftp/transfer/loopback/real_transfer_fixture.h"

namespace tarvik::test {
namespace {

using RealBatchTest = RealTransferFixture;

// Every entry below `root` by relative path: a folder as "<dir>", a file by its contents' hash.
// Symbolic links are left out (they are not followed either).
std::map<std::string, std::string> Snapshot(const fs::path& root) {
  std::map<std::string, std::string> entries;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (entry.is_symlink()) continue;
    const std::string relative = fs::relative(entry.path(), root).string();
    entries[relative] = entry.is_directory()
                            ? "<dir>"
                            : std::to_string(std::hash<std::string>{}(ReadHostFile(entry.path())));
  }
  return entries;
}

std::set<std::string> Names(const fs::path& folder) {
  std::set<std::string> names;
  if (!fs::exists(folder)) return names;
  for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// 1,000 files in 100 folders two levels deep, names with blanks and UTF-8, a 0-byte and a
// 50 MiB file, empty folders (one inside another), and a link back to the tree's root.
void BuildTree(const fs::path& root) {
  for (int i = 0; i < 1000; ++i) {
    const std::string top = i % 10 == 9 ? "d \xC3\xBC 9" : "d" + std::to_string(i % 10);
    const std::string folder = top + "/s" + std::to_string(i / 10 % 10) + "/";
    std::string name = "f" + std::to_string(i) + ".bin";
    if (i == 0) name = "with blank 0.txt";
    if (i == 1) name = "gr\xC3\xBC\xC3\x9F" "e 1.txt";
    std::size_t size = static_cast<std::size_t>(i * 37 % 3000);
    if (i == 2) size = 0;
    if (i == 3) size = 50 << 20;
    WriteHostFile(root / (folder + name), RandomBytes(size, static_cast<std::uint32_t>(i)));
  }
  fs::create_directories(root / "empty");
  fs::create_directories(root / "d0" / "empty inner" / "deeper");
  fs::create_directory_symlink("../..", root / "d0" / "s0" / "loop");
}

// The tree goes up, comes back down, and all three copies are the same.
TEST_P(RealBatchTest, TreeOfAThousandFilesRoundTrips) {
  control().put_UTF8(true);
  Server().FreshDir("tree");
  BuildTree(local_ / "A");
  ASSERT_TRUE(Upload(local_ / "A" / "", "/tree/")) << Failure();
  ASSERT_TRUE(Download("/tree/A/", local_ / "B" / "")) << Failure();

  const auto original = Snapshot(local_ / "A");
  ASSERT_EQ(original.size(), 1000u + 100u + 10u + 3u);
  EXPECT_TRUE(Snapshot(Server().RootDir() / "tree" / "A") == original);
  EXPECT_TRUE(Snapshot(local_ / "B" / "A") == original);
  EXPECT_EQ(control().get_QueueIndex(), 1000);
}

// A pattern takes only the matching entries into the target itself; a folder goes into a
// folder of its own name only with CreateSourceFolder; a refused type stops everything.
TEST_P(RealBatchTest, PatternsSourceFoldersAndTypeFilters) {
  Server().FreshDir("pub");
  for (const char* name : {"pub/a.zip", "pub/b.zip", "pub/c.txt", "pub/docs/x.txt",
                           "pub/docs/sub/y.txt"}) {
    Server().PutFile(name, name);
  }
  ASSERT_TRUE(Download("/pub/*.zip", local_ / "p" / "")) << Failure();
  EXPECT_EQ(Names(local_ / "p"), (std::set<std::string>{"a.zip", "b.zip"}));

  ASSERT_TRUE(Download("/pub/docs/", local_ / "on" / "")) << Failure();
  EXPECT_EQ(ReadHostFile(local_ / "on" / "docs" / "sub" / "y.txt"), "pub/docs/sub/y.txt");
  control().put_CreateSourceFolder(false);
  ASSERT_TRUE(Download("/pub/docs/", local_ / "off" / "")) << Failure();
  EXPECT_EQ(Names(local_ / "off"), (std::set<std::string>{"sub", "x.txt"}));

  ASSERT_TRUE(Upload(local_ / "on" / "docs" / "*.txt", "/pub/up/")) << Failure();
  EXPECT_EQ(Names(Server().RootDir() / "pub" / "up"), (std::set<std::string>{"x.txt"}));

  control().put_AllowType("*.zip");
  EXPECT_FALSE(Download("/pub/a.zip|/pub/c.txt", local_ / "f" / ""));
  EXPECT_EQ(control().get_ErrorNumber(), 20021);
  EXPECT_FALSE(fs::exists(local_ / "f"));
}

// Names the servers' disks allow but a local target must not take are skipped; the rest comes.
TEST_P(RealBatchTest, UnsafeEntryNamesAreSkipped) {
  Server().FreshDir("u");
  for (const char* name : {"u/ok.txt", "u/CON", "u/trail.", "u/c:x",
                           "u/AUX/inside.txt", "u/fine/nested.txt"}) {
    Server().PutFile(name, "x");
  }
  ASSERT_TRUE(Download("/u/", local_ / "in" / "")) << Failure();
  EXPECT_EQ(Snapshot(local_ / "in"),
            (std::map<std::string, std::string>{
                {"u", "<dir>"},
                {"u/fine", "<dir>"},
                {"u/fine/nested.txt", std::to_string(std::hash<std::string>{}("x"))},
                {"u/ok.txt", std::to_string(std::hash<std::string>{}("x"))}}));
}

// Symbolic links made in the server's folder `ln` on disk, to a folder and a file beside it; with
// `loops`, also to the folder itself and to the one above it.
void BuildLinks(const RealFtpServer& server, const std::string& ln, const std::string& data,
                bool loops) {
  server.FreshDir(ln);
  server.FreshDir("outside");
  server.PutFile("outside/data.bin", data);
  server.PutFile("outside/docs/a.txt", "a");
  server.PutFile("outside/docs/sub/b.txt", "b");
  server.PutFile(ln + "/plain.txt", "plain");
  const fs::path folder = server.RootDir() / ln;
  fs::create_symlink("../outside/data.bin", folder / "file-link");
  fs::create_directory_symlink("../outside/docs", folder / "folder-link");
  if (!loops) return;
  fs::create_directory_symlink("..", folder / "up");
  fs::create_directory_symlink(".", folder / "self");
}

std::string HashOf(const std::string& bytes) {
  return std::to_string(std::hash<std::string>{}(bytes));
}

// A link to a file comes as that file, a link to a folder outside the tree as that folder; a
// link to the folder itself or to one above it is left out (it would be walked forever).
TEST_P(RealBatchTest, LinksInAFolderAreTakenForWhatTheyName) {
  const std::string data = RandomBytes(5000);
  BuildLinks(Server(), "ln", data, true);
  ASSERT_TRUE(Download("/ln/", local_ / "in" / "")) << Failure();
  EXPECT_EQ(Snapshot(local_ / "in"), (std::map<std::string, std::string>{
                                         {"ln", "<dir>"},
                                         {"ln/plain.txt", HashOf("plain")},
                                         {"ln/file-link", HashOf(data)},
                                         {"ln/folder-link", "<dir>"},
                                         {"ln/folder-link/a.txt", HashOf("a")},
                                         {"ln/folder-link/sub", "<dir>"},
                                         {"ln/folder-link/sub/b.txt", HashOf("b")}}));
}

// Removing a folder deletes the links in it, never what they name, whichever list command is
// set (the MLSD of some servers describes a link as what it names).
TEST_P(RealBatchTest, RemovingAFolderDeletesItsLinksNotWhatTheyName) {
  const std::string data = RandomBytes(5000);
  for (const std::string command : {"LIST", "MLSD"}) {
    if (command == "MLSD" && GetParam() == "vsftpd") continue;  // no MLSD there
    SCOPED_TRACE(command);
    BuildLinks(Server(), "ln-" + command, data, false);
    control().put_ListCommand(command);
    ASSERT_TRUE(control().RemoveDirectory("/ln-" + command)) << Failure();
    EXPECT_FALSE(fs::exists(fs::symlink_status(Server().RootDir() / ("ln-" + command))));
    EXPECT_EQ(Snapshot(Server().RootDir() / "outside"),
              (std::map<std::string, std::string>{{"data.bin", HashOf(data)},
                                                  {"docs", "<dir>"},
                                                  {"docs/a.txt", HashOf("a")},
                                                  {"docs/sub", "<dir>"},
                                                  {"docs/sub/b.txt", HashOf("b")}}));
  }
}

// From OnTransfer: a file and a folder queued, a pending file taken out, another taken out and
// queued again. QueueTotal is never below QueueIndex.
TEST_P(RealBatchTest, QueueChangedFromTheProgressHandler) {
  Server().FreshDir("q");
  for (const char* name : {"f1", "f2", "f3"}) WriteHostFile(local_ / "q" / name, name);
  WriteHostFile(local_ / "extra.txt", "extra");
  WriteHostFile(local_ / "more" / "m1", "m1");
  WriteHostFile(local_ / "more" / "deep" / "m2", "m2");
  bool changed = false;
  int below = 0;
  hosted_.on_transfer = [&] {
    if (control().get_QueueTotal() < control().get_QueueIndex()) ++below;
    if (changed) return;
    changed = true;
    control().QueueAppend(DrivePath(local_ / "extra.txt"));
    control().QueueAppend(DrivePath(local_ / "more"));
    control().QueueRemove(DrivePath(local_ / "q" / "f3"));
    control().QueueRemove(DrivePath(local_ / "q" / "f2"));
    control().QueueAppend(DrivePath(local_ / "q" / "f2"));
  };
  control().put_LocalPath(DrivePath(local_ / "q" / "f1") + "|" + DrivePath(local_ / "q" / "f2") +
                          "|" + DrivePath(local_ / "q" / "f3"));
  control().put_RemotePath("/q/");
  ASSERT_TRUE(control().Upload()) << Failure();
  EXPECT_EQ(Names(Server().RootDir() / "q"),
            (std::set<std::string>{"f1", "f2", "extra.txt", "more"}));
  EXPECT_EQ(Server().GetFile("q/more/deep/m2"), "m2");
  EXPECT_EQ(below, 0);
  EXPECT_EQ(control().get_QueueIndex(), 5);  // f1, f2, extra.txt, m1, m2
  EXPECT_EQ(control().get_RemovedFiles(), "");  // emptied when the batch ends
}

// Abort in the second file of a folder ends the batch with 16010; the first file stays in the
// result lists. A "cancel.sta" made by another process does the same at the next progress
// event, and "trans.sta" holds the nine figures.
TEST_P(RealBatchTest, AbortAndTheCancelFileEndTheBatch) {
  Server().FreshDir("ab");
  for (const char* name : {"ab/1.bin", "ab/2.bin", "ab/3.bin"}) {
    Server().PutFile(name, RandomBytes(1 << 20));
  }
  control().put_MaxSpeed(1024);
  const fs::path status = local_ / "status";
  fs::create_directories(status);
  WriteHostFile(status / "cancel.sta", "");  // left over: setting the folder removes it
  control().put_TranstatePath(DrivePath(status));
  EXPECT_FALSE(fs::exists(status / "cancel.sta"));

  for (const bool by_file : {false, true}) {
    SCOPED_TRACE(by_file ? "cancel.sta" : "Abort");
    std::string figures;
    bool asked = false;
    hosted_.on_transfer = [&] {
      if (control().get_QueueIndex() != 2 || control().get_TransferredSize() == 0) return;
      figures = ReadHostFile(status / "trans.sta");
      if (asked) return;
      asked = true;
      if (by_file) {
        ASSERT_EQ(std::system(("touch '" + (status / "cancel.sta").string() + "'").c_str()), 0);
      } else {
        control().Abort();
      }
    };
    EXPECT_FALSE(Download("/ab/", local_ / (by_file ? "byfile" : "byabort") / ""));
    EXPECT_EQ(control().get_ErrorNumber(), 16010) << control().get_ErrorInfo();
    EXPECT_EQ(control().get_TransferredRemoteFiles(), "/ab/1.bin");
    EXPECT_FALSE(fs::exists(status / "cancel.sta"));
    // QueueIndex#QueueTotal#Percent#TransferredSize#FileSize#Speed#SpeedAvg#LeftTime#ElapsedTime
    EXPECT_TRUE(figures.starts_with("2#3#")) << figures;
    EXPECT_EQ(std::count(figures.begin(), figures.end(), '#'), 8) << figures;
    EXPECT_NE(figures.find("#1048576#"), std::string::npos) << figures;
  }
}

// A file the server refuses ends the batch with its error; the file before it stays done.
TEST_P(RealBatchTest, FirstFailingFileEndsTheBatch) {
  Server().FreshDir("ff");
  Server().FreshDir("ff/src/b.txt");  // a folder where the upload wants a file
  control().put_RedoTimes(0);
  for (const char* name : {"a.txt", "b.txt", "c.txt"}) WriteHostFile(local_ / "src" / name, name);
  EXPECT_FALSE(Upload(local_ / "src" / "", "/ff/"));
  EXPECT_NE(control().get_ErrorNumber(), 0);
  EXPECT_EQ(control().get_TransferredLocalFiles(), DrivePath(local_ / "src" / "a.txt"));
  EXPECT_EQ(Server().GetFile("ff/src/a.txt"), "a.txt");
  EXPECT_FALSE(fs::exists(Server().RootDir() / "ff" / "src" / "c.txt"));
}

INSTANTIATE_TEST_SUITE_P(Servers, RealBatchTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
