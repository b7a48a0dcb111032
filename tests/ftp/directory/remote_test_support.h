// What the listing and remote-operation tests share: a logged-in session against the
// scripted server (home folder "/"), a session against a real server, and listing lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/ftp/loopback/session_harness.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::test {

using Commands = std::vector<std::string>;

// The login of "u"/"p" with the keep-alive probe and a PWD that names "/" as the home folder.
inline FakeFtpServer& PlayRootLogin(FakeFtpServer& server) {
  return PlayLogin(server, "220 Fake server ready", "/");
}
inline constexpr std::size_t kLoginCommands = 4;

// The commands after the login.
inline Commands AfterLogin(const FakeFtpServer& server) {
  const Commands all = server.Commands();
  if (all.size() <= kLoginCommands) return {};
  return Commands(all.begin() + kLoginCommands, all.end());
}

// A passive listing exchange answered with `text`: TYPE I, PASV, `list_line`, the data, 226.
inline FakeFtpServer& PlayListing(FakeFtpServer& server, const std::string& list_line,
                                  const std::string& text) {
  return server.Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect(list_line)
      .Reply("150 Here comes the directory listing")
      .SendData(text)
      .Reply("226 Directory send OK");
}

// Unix long-listing lines.
inline std::string FileLine(const std::string& name, long size = 10) {
  return "-rw-r--r--    1 1000     1000     " + std::to_string(size) + " Jan 05 12:30 " + name +
         "\r\n";
}
inline std::string FolderLine(const std::string& name) {
  return "drwxr-xr-x    2 1000     1000         4096 Jan 05 12:30 " + name + "\r\n";
}

// A session logged in to a real server as its test account.
struct RealSession {
  explicit RealSession(const RealFtpServer& server) : session(host) {
    host.session = &session;
    session.settings().server_name = server.Host();
    session.settings().port = server.Port();
    session.settings().username = server.User();
    session.settings().password = server.Password();
  }
  RecordingHost host;
  FtpSession session;
};

}  // namespace tarvik::test
