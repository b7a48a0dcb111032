// Every remote member with absolute, relative, ".." and trailing-"/" paths, from the root and from
// a deeper working folder, against the scripted server: the exact command each one sends, and the
// working folder tracked afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "tests/ftp/directory/remote_test_support.h"

namespace tarvik::test {
namespace {

// What the listings of this test answer: a file "f.txt" of 7 bytes and a folder "d".
const std::string kListing = FileLine("f.txt", 7) + FolderLine("d");

using Call = std::function<bool(RemoteOperations&, RemoteListing&)>;

struct PathCase {
  const char* name;
  std::string working;             // working folder set before the call ("/" needs no CWD)
  Call call;                       // the member, true when it succeeded
  Commands sent;                   // commands after the login (and the CWD into `working`)
  std::string working_after = {};  // tracked folder afterwards; "" when `working` stays
};

void PrintTo(const PathCase& c, std::ostream* out) {
  *out << c.name;
}

// Scripts the reply to each expected command: listings answer with kListing.
void Script(FakeFtpServer& server, const Commands& commands) {
  for (const std::string& line : commands) {
    if (line.starts_with("LIST")) {
      server.Expect(line).Reply("150 Here comes the directory listing").SendData(kListing);
      server.Reply("226 Directory send OK");
    } else if (line == "TYPE I") {
      server.Expect(line).Reply("200 Type set to I");
    } else if (line == "PASV") {
      server.Expect(line).ReplyPasv();
    } else if (line.starts_with("MKD")) {
      server.Expect(line).Reply("257 \"x\" created");
    } else if (line.starts_with("RNFR")) {
      server.Expect(line).Reply("350 Ready for RNTO");
    } else if (line.starts_with("SIZE")) {
      server.Expect(line).Reply("213 7");
    } else {
      server.Expect(line).Reply("250 Done");
    }
  }
}

Commands Listed(const std::string& list_line) {
  return {"TYPE I", "PASV", list_line};
}

Commands Join(Commands first, const Commands& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

class RemotePathMatrixTest : public ::testing::TestWithParam<PathCase> {};

TEST_P(RemotePathMatrixTest, SendsThePathThatReachesTheNamedPlace) {
  const PathCase& c = GetParam();
  FakeFtpServer server;
  PlayRootLogin(server);
  const Commands before = c.working == "/" ? Commands{} : Commands{"CWD " + c.working};
  Script(server, Join(before, c.sent));
  server.Start();
  SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  t.session.transfer_settings().mkd_check = false;
  RemoteOperations remote(t.session);
  RemoteListing listing(t.session);
  if (c.working != "/") ASSERT_TRUE(remote.SetCurrentDirectory(c.working));

  EXPECT_TRUE(c.call(remote, listing)) << t.session.ErrorNumber() << " " << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
  EXPECT_EQ(AfterLogin(server), Join(before, c.sent));
  EXPECT_EQ(t.session.state().current_directory,
            c.working_after.empty() ? c.working : c.working_after);
}

Call Mkd(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.CreateDirectory(p); };
}
Call Rmd(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.RemoveDirectory(p); };
}
Call Dele(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.DeleteFile(p); };
}
Call Rename(std::string from, std::string to) {
  return [from, to](RemoteOperations& r, RemoteListing&) { return r.RenameFile(from, to); };
}
Call Cwd(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.SetCurrentDirectory(p); };
}
Call Size(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.GetRemoteFileSize(p) == 7; };
}
Call FileSize(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.GetFtpFileSize(p) == 7; };
}
Call ExistsFile(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.ExistFile(p); };
}
Call ExistsDir(std::string p) {
  return [p](RemoteOperations& r, RemoteListing&) { return r.ExistDirectory(p); };
}
Call List(std::string p) {
  return [p](RemoteOperations&, RemoteListing& l) { return l.GetFtpDirectoryInfo(p) != nullptr; };
}
Call ListText(std::string p) {
  return [p](RemoteOperations&, RemoteListing& l) { return !l.GetFileList(p).empty(); };
}

INSTANTIATE_TEST_SUITE_P(
    Members, RemotePathMatrixTest,
    ::testing::Values(
        PathCase{"MkdAbsoluteAtRoot", "/", Mkd("/n"), {"MKD /n"}},
        PathCase{"MkdRelativeAtRoot", "/", Mkd("n/"), {"MKD n"}},
        PathCase{"MkdAbsoluteDeep", "/a/b", Mkd("/n"), {"MKD /n"}},
        PathCase{"MkdRelativeDeep", "/a/b", Mkd("n/"), {"MKD n"}},
        PathCase{"MkdUpDeep", "/a/b", Mkd("../n"), {"MKD ../n"}},
        PathCase{"RmdAbsoluteAtRoot", "/", Rmd("/a/n/"), {"RMD /a/n"}},
        PathCase{"RmdAbsoluteDeep", "/a/b", Rmd("/n/"), {"RMD /n"}},
        PathCase{"RmdRelativeDeep", "/a/b", Rmd("n"), {"RMD n"}},
        PathCase{"RmdUpDeep", "/a/b", Rmd("../n/"), {"RMD ../n"}},
        PathCase{"DeleAbsoluteAtRoot", "/", Dele("/a/f.txt"), {"DELE /a/f.txt"}},
        PathCase{"DeleAbsoluteDeep", "/a/b", Dele("/a/b/f.txt"), {"DELE /a/b/f.txt"}},
        PathCase{"DeleRelativeDeep", "/a/b", Dele("f.txt"), {"DELE f.txt"}},
        PathCase{"DeleUpDeep", "/a/b", Dele("../f.txt"), {"DELE ../f.txt"}},
        PathCase{"RenameAbsoluteDeep",
                 "/a/b",
                 Rename("/f.txt", "/g.txt"),
                 {"RNFR /f.txt", "RNTO /g.txt"}},
        PathCase{"RenameMixedDeep",
                 "/a/b",
                 Rename("f.txt", "../g.txt"),
                 {"RNFR f.txt", "RNTO ../g.txt"}},
        PathCase{"CwdAbsoluteDeep", "/a/b", Cwd("/x/"), {"CWD /x/"}, "/x"},
        PathCase{"CwdRelativeDeep", "/a/b", Cwd("c"), {"CWD c"}, "/a/b/c"},
        PathCase{"CwdUpDeep", "/a/b", Cwd("../c/"), {"CWD ../c/"}, "/a/c"},
        PathCase{"CwdParentDeep", "/a/b", Cwd(".."), {"CWD .."}, "/a"},
        PathCase{"SizeAbsoluteDeep", "/a/b", Size("/f.txt"), {"TYPE I", "SIZE /f.txt"}},
        PathCase{"SizeRelativeDeep", "/a/b", Size("f.txt"), {"TYPE I", "SIZE f.txt"}},
        PathCase{"FileSizeAbsoluteAtRoot", "/", FileSize("/f.txt"), Listed("LIST f.txt")},
        PathCase{"FileSizeAbsoluteDeep", "/a/b", FileSize("/a/f.txt"), Listed("LIST /a/f.txt")},
        PathCase{"FileSizeRelativeDeep", "/a/b", FileSize("f.txt"), Listed("LIST f.txt")},
        PathCase{"FileSizeUpDeep", "/a/b", ExistsFile("../f.txt"), Listed("LIST ../f.txt")},
        PathCase{"ExistDirAbsoluteDeep", "/a/b", ExistsDir("/x/d/"), Listed("LIST /x/")},
        PathCase{"ExistDirRelativeDeep", "/a/b", ExistsDir("d"), Listed("LIST")},
        PathCase{"ExistDirUpDeep", "/a/b", ExistsDir("../d"), Listed("LIST /a/")},
        PathCase{"ListRootAtRoot", "/", List("/"), Listed("LIST")},
        PathCase{"ListRootDeep", "/a/b", List("/"), Listed("LIST /")},
        PathCase{"ListWorkingFolderDeep", "/a/b", List(""), Listed("LIST")},
        PathCase{"ListItselfDeep", "/a/b", ListText("/a/b/"), Listed("LIST")},
        PathCase{"ListAbsoluteDeep", "/a/b", ListText("/x"), Listed("LIST /x/")},
        PathCase{"ListRelativeDeep", "/a/b", List("x/"), Listed("LIST x/")},
        PathCase{"ListUpDeep", "/a/b", List(".."), Listed("LIST ../")},
        // A LIST argument with blanks is split by some servers: the folder is entered instead.
        PathCase{"FileSizeBlankFolderAtRoot", "/", FileSize("/folder with spaces/f.txt"),
                 Join(Join({"CWD /folder with spaces/"}, Listed("LIST f.txt")), {"CWD /"})},
        PathCase{"ListBlankFolderDeep", "/a/b", List("../x y"),
                 Join(Join({"CWD ../x y/"}, Listed("LIST")), {"CWD /a/b"})}));

// Working-folder listings change into the folder by the path that reaches it, and back.
TEST(RemotePathTest, WorkingFolderListingEntersAbsoluteFoldersAbsolutely) {
  FakeFtpServer server;
  Script(PlayRootLogin(server), Join({"CWD /sub", "CWD /x/"}, Join(Listed("LIST"), {"CWD /sub"})));
  Script(server, Listed("LIST"));
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);
  ASSERT_TRUE(remote.SetCurrentDirectory("/sub"));

  const auto x = RemoteListing(t.session).GetFtpDirectoryInfo("/x");
  ASSERT_NE(x, nullptr) << t.session.ErrorInfo();
  EXPECT_EQ(x->ItemAt(1)->FilePath(), "/x/d");
  // The working folder itself is listed without changing folders.
  EXPECT_FALSE(RemoteListing(t.session).GetFileList("/sub").empty()) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

// A recursive removal from a deeper working folder reaches each entry by its absolute path.
TEST(RemotePathTest, RecursiveRemovalFromADeeperFolder) {
  FakeFtpServer server;
  PlayRootLogin(server).Expect("CWD /a").Reply("250 ok");
  server.Expect("RMD ne").Reply("550 Directory not empty");
  server.Expect("CWD /a/ne/").Reply("250 ok");
  PlayListing(server, "LIST", FileLine("f"));
  Script(server, {"CWD /a", "DELE /a/ne/f", "RMD /a/ne", "RMD ne"});
  server.Start();
  SessionUnderTest t(server.Port());
  RemoteOperations remote(t.session);
  ASSERT_TRUE(remote.SetCurrentDirectory("/a"));

  EXPECT_TRUE(remote.RemoveDirectory("ne")) << t.session.ErrorInfo();
  EXPECT_TRUE(server.WaitFinished());
}

}  // namespace
}  // namespace tarvik::test
