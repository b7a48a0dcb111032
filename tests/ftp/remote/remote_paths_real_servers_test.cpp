// Every remote member with absolute, relative, ".." and trailing-"/" paths, from the root and from
// a deeper working folder, against each real server: what changed on the server's disk.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "ftp/directory/remote_listing.h"
#include "ftp/remote/remote_operations.h"
#include "tests/ftp/directory/remote_test_support.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

struct DiskCase {
  const char* name;
  std::string working;  // working folder set before the call
  std::function<bool(RemoteOperations&, RemoteListing&)> call;  // true when it succeeded
  std::function<bool(const fs::path&)> changed;  // the effect, seen in the folder of "/paths"
};

class RealRemotePathTest : public RealFtpServerTest {};

// The tree each case starts from: /paths/f.txt (1 byte), /paths/a/f.txt (2), /paths/a/b/f.txt
// (3), /paths/a/b/e/x (a non-empty folder), /paths/folder with spaces/inner.txt (4).
void PlantTree(const RealFtpServer& server) {
  server.FreshDir("paths");
  server.PutFile("paths/f.txt", "1");
  server.PutFile("paths/a/f.txt", "22");
  server.PutFile("paths/a/b/f.txt", "333");
  server.PutFile("paths/a/b/e/x", "x");
  server.PutFile("paths/folder with spaces/inner.txt", "4444");
}

const std::vector<DiskCase>& Cases() {
  using R = RemoteOperations;
  using L = RemoteListing;
  static const std::vector<DiskCase> cases = {
      {"MkdAbsoluteAtRoot", "/", [](R& r, L&) { return r.CreateDirectory("/paths/n/"); },
       [](const fs::path& p) { return fs::is_directory(p / "n"); }},
      {"MkdAbsoluteDeep", "/paths/a/b", [](R& r, L&) { return r.CreateDirectory("/paths/n"); },
       [](const fs::path& p) { return fs::is_directory(p / "n") && !fs::exists(p / "a/b/paths"); }},
      {"MkdRelativeDeep", "/paths/a/b", [](R& r, L&) { return r.CreateDirectory("n/"); },
       [](const fs::path& p) { return fs::is_directory(p / "a/b/n"); }},
      {"MkdUpDeep", "/paths/a/b", [](R& r, L&) { return r.CreateDirectory("../n"); },
       [](const fs::path& p) { return fs::is_directory(p / "a/n"); }},
      {"RmdAbsoluteDeep", "/paths/a", [](R& r, L&) { return r.RemoveDirectory("/paths/a/b/e/"); },
       [](const fs::path& p) { return !fs::exists(p / "a/b/e") && fs::exists(p / "a/b"); }},
      {"RmdRelativeDeep", "/paths/a/b", [](R& r, L&) { return r.RemoveDirectory("e"); },
       [](const fs::path& p) { return !fs::exists(p / "a/b/e") && fs::exists(p / "a/b/f.txt"); }},
      {"DeleAbsoluteDeep", "/paths/a/b", [](R& r, L&) { return r.DeleteFile("/paths/f.txt"); },
       [](const fs::path& p) { return !fs::exists(p / "f.txt") && fs::exists(p / "a/b/f.txt"); }},
      {"DeleRelativeDeep", "/paths/a/b", [](R& r, L&) { return r.DeleteFile("f.txt"); },
       [](const fs::path& p) { return !fs::exists(p / "a/b/f.txt") && fs::exists(p / "f.txt"); }},
      {"DeleUpDeep", "/paths/a/b", [](R& r, L&) { return r.DeleteFile("../f.txt"); },
       [](const fs::path& p) { return !fs::exists(p / "a/f.txt") && fs::exists(p / "a/b/f.txt"); }},
      {"RenameAcrossDeep", "/paths/a/b",
       [](R& r, L&) { return r.RenameFile("/paths/f.txt", "../g.txt"); },
       [](const fs::path& p) { return !fs::exists(p / "f.txt") && fs::exists(p / "a/g.txt"); }},
      {"CwdUpDeep", "/paths/a/b",
       [](R& r, L&) { return r.SetCurrentDirectory("../") && r.DeleteFile("f.txt"); },
       [](const fs::path& p) { return !fs::exists(p / "a/f.txt"); }},
      {"SizesDeep", "/paths/a/b",
       [](R& r, L&) {
         return r.GetFtpFileSize("/paths/f.txt") == 1 && r.GetFtpFileSize("../f.txt") == 2 &&
                r.GetFtpFileSize("f.txt") == 3 && r.GetRemoteFileSize("/paths/a/f.txt") == 2 &&
                r.GetFtpFileSize("/paths/folder with spaces/inner.txt") == 4;
       },
       [](const fs::path&) { return true; }},
      {"ExistenceDeep", "/paths/a/b",
       [](R& r, L&) {
         return r.ExistDirectory("/paths/a/") && r.ExistDirectory("e") &&
                r.ExistDirectory("../b") && !r.ExistDirectory("/paths/e") &&
                r.ExistDirectory("/paths/folder with spaces") && r.ExistFile("/paths/f.txt");
       },
       [](const fs::path&) { return true; }},
      {"ListingsDeep", "/paths/a/b",
       [](R&, L& l) {
         const auto spaced = l.GetFtpDirectoryInfo("/paths/folder with spaces/");
         const auto up = l.GetFtpDirectoryInfo("..");
         return spaced && spaced->Size() == 1 && spaced->ItemAt(1)->FileName() == "inner.txt" &&
                up && up->Size() == 2 && l.GetFileList("").find("f.txt*3") != std::string::npos;
       },
       [](const fs::path&) { return true; }},
  };
  return cases;
}

TEST_P(RealRemotePathTest, EachMemberReachesTheNamedPlace) {
  for (const DiskCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    PlantTree(Server());
    RealSession s(Server());
    RemoteOperations remote(s.session);
    RemoteListing listing(s.session);
    ASSERT_TRUE(remote.SetCurrentDirectory(c.working)) << s.session.ErrorInfo();
    EXPECT_TRUE(c.call(remote, listing)) << s.session.ErrorNumber() << " " << s.session.ErrorInfo();
    EXPECT_TRUE(c.changed(Server().LocalPath("/paths")));
  }
}

INSTANTIATE_TEST_SUITE_P(Servers, RealRemotePathTest, AllRealServers(), RealServerParamName);

}  // namespace
}  // namespace tarvik::test
