// What the transfer tests against the scripted server share: the exchanges of a download of
// "file.bin" and a control aimed at the server.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/ftp/transfer/loopback/transfer_fixture.h"
#include "tests/support/fake_ftp_server.h"
#include "tests/support/fake_login.h"

namespace tarvik::test {

// The size of file.bin, by SIZE in binary mode.
inline FakeFtpServer& PlaySizeQuery(FakeFtpServer& server, std::size_t size = 1000) {
  return server.Expect("TYPE I")
      .Reply("200 Type set")
      .ExpectLike("SIZE *file.bin")
      .Reply("213 " + std::to_string(size));
}

// Binary mode, the passive data connection and RETR of file.bin up to its 150.
inline FakeFtpServer& PlayRetrieveStart(FakeFtpServer& server) {
  return server.Expect("TYPE I")
      .Reply("200 Type set")
      .Expect("PASV")
      .ReplyPasv()
      .ExpectLike("RETR *file.bin")
      .Reply("150 Opening");
}

// A control aimed at the scripted server (user "u", password "p"), for file.bin and `local_file`.
inline void AimAtScriptedServer(FtpLibrary& c, const FakeFtpServer& server,
                                const std::filesystem::path& local_file) {
  c.put_ServerName("127.0.0.1");
  c.put_Port(server.Port());
  c.put_Username("u");
  c.put_Password("p");
  c.put_RemotePath("file.bin");
  c.put_LocalPath(DrivePath(local_file));
}

// An empty folder $TARVIK_ROOT/<name> for a test's local files.
inline std::filesystem::path FreshLocalFolder(const std::string& name) {
  const std::filesystem::path folder = std::filesystem::path(std::getenv("TARVIK_ROOT")) / name;
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace tarvik::test
