// The installed control in use: tarvik creates it by ProgID from the registration tarvinst made
// and runs a session with it against a real server.
#include <gtest/gtest.h>

#include "tests/setup/setup_fixture.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::setup {
namespace {

using InstalledControlTest = SetupProgramTest;

TEST_F(InstalledControlTest, TarvikRunsASessionWithTheInstalledControl) {
  test::RealFtpServer& server = test::RealServers::Get("pyftpdlib");
  server.FreshDir("installed");
  server.PutFile("installed/file.txt", "12345");
  Ship();
  ASSERT_EQ(RunSetup().exit_code, 0);

  const std::filesystem::path out = base_ / "out.txt";
  const std::string command =
      "TARVIK_ROOT='" + root_.string() + "' '" + TARVIK_HOST_PROGRAM +
      "' ServerName=" + server.Host() + " Port=" + std::to_string(server.Port()) +
      " Username=" + server.User() + " Password=" + server.Password() +
      " Connect 'GetFileSize(/installed/file.txt)' 'RegGetValue(HKEY_CLASSES_ROOT, "
      "TarvikFtp.FtpLibrary\\CLSID)' Disconnect </dev/null >'" +
      out.string() + "' 2>&1";
  const int status = std::system(command.c_str());
  const std::string output = ReadHostFile(out);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << output;
  EXPECT_EQ(output, "True\n5\n{31AE647D-11D1-4E6A-BE2D-90157640019A}\nTrue\n");
}

}  // namespace
}  // namespace tarvik::setup
