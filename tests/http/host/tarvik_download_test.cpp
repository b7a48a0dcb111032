// `tarvik DownloadHttpFile` as a user runs it on a terminal: the file arrives and the progress
// bar is drawn; a failed download exits with 1 and the error.
#include <stdlib.h>
#include <sys/wait.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/host_files.h"
#include "tests/support/real_http_servers.h"

namespace tarvik::test {
namespace {

namespace fs = std::filesystem;

class TarvikDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "tarvik-http-host-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    int status = -1;
    const std::string shown =
        Run(TARVIK_REGSVR32, {"/s", fs::canonical(TARVIK_SERVER_LIBRARY).string()}, status);
    ASSERT_EQ(status, 0) << shown;
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(root_, ignored);
  }

  // Runs `program` on a terminal of its own (standard output and error both go to it) in the
  // private root; what the terminal showed.
  std::string Run(const std::string& program, const std::vector<std::string>& args, int& status) {
    std::string command = "TARVIK_ROOT=" + ShellQuoted(root_.string()) + " " + ShellQuoted(program);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    const fs::path shown = root_ / "terminal.txt";
    const std::string line = "script -qefc " + ShellQuoted(command) + " /dev/null </dev/null >" +
                             ShellQuoted(shown.string()) + " 2>&1";
    const int result = std::system(line.c_str());
    status = WIFEXITED(result) ? WEXITSTATUS(result) : -1;
    return ReadHostFile(shown);
  }

  fs::path root_;
};

TEST_F(TarvikDownloadTest, DownloadsWithTheProgressBar) {
  RealHttpServers& web = RealHttpServers::Get();
  const std::string name = "host-" + std::to_string(::getpid()) + ".bin";
  std::string bytes(3 << 20, '\0');
  std::mt19937 generator(5);
  for (char& byte : bytes) byte = static_cast<char>(generator());
  const fs::path source = web.PutFile("slow/" + name, bytes);  // 1 MB/s: several progress events
  const std::string base = "http://127.0.0.1:" + std::to_string(web.HttpPort());
  int status = -1;
  const std::string shown =
      Run(TARVIK_HOST_PROGRAM,
          {"RemotePath=" + base + "/slow/" + name, "LocalPath=" + (root_ / "got.bin").string(),
           "DownloadHttpFile", "Percent"},
          status);
  fs::remove(source);
  ASSERT_EQ(status, 0) << shown;
  EXPECT_TRUE(ReadHostFile(root_ / "got.bin") == bytes);
  // The bar is redrawn in place (a carriage return before each drawing) up to 100 %.
  EXPECT_NE(shown.find("\r["), std::string::npos) << shown;
  EXPECT_NE(shown.find("100%"), std::string::npos) << shown;
  EXPECT_NE(shown.find("True"), std::string::npos) << shown;

  const std::string failed = Run(TARVIK_HOST_PROGRAM,
                                 {"RemotePath=" + base + "/missing-" + name,
                                  "LocalPath=" + (root_ / "none.bin").string(), "DownloadHttpFile"},
                                 status);
  EXPECT_EQ(status, 1) << failed;
  EXPECT_NE(failed.find("18404"), std::string::npos) << failed;
  EXPECT_NE(failed.find("File Not Found"), std::string::npos) << failed;
}

}  // namespace
}  // namespace tarvik::test
