// Real FTP servers from the distribution's packages, started on loopback for interoperability
// tests: "pyftpdlib", "vsftpd", "pureftpd" and "proftpd".
//
// Each server is started on first use in the test process, on a free 127.0.0.1 port with generated
// configuration in a private temporary folder, and stopped (with its session processes) when the
// process exits. CTest runs every test case in a process of its own, so a case pays the start of
// the one server it uses: roughly 0.2 s for pyftpdlib, well under 0.1 s for the others.
//
// Every server has the same test account: User()/Password() log in to a writable RootDir().
// Anonymous logins ("anonymous", any password) see AnonymousDir() read-only where
// AllowsAnonymous(). AnonymousDir() is a folder of its own, not RootDir() (servers refuse a
// writable anonymous root); for "pureftpd" it is the home folder of the system's "ftp" account,
// shared by every test process, so files placed there need names of their own.
// Passive mode uses a small range of ports on loopback; active mode works too.
//
// The servers run their sessions as one operating-system account (created on first use, with
// the test password). Files a test creates in RootDir() belong to the test's own user: hand them to
// the account with GiveToAccount() (or use PutFile()/FreshDir(), which do so) when the server must
// overwrite, append to or delete them. For a large file, PutFile(name, "") and then
// std::filesystem::resize_file() make a sparse file of any size.
//
//   class DownloadTest : public tarvik::test::RealFtpServerTest {};
//   TEST_P(DownloadTest, CopiesAFile) {
//     tarvik::test::RealFtpServer& s = Server();          // starts the server on first use
//     auto dir = s.FreshDir("download");                   // RootDir()/download, empty
//     s.PutFile("download/a.bin", "contents");             // remote path /download/a.bin
//     ... connect to s.Host():s.Port() as s.User()/s.Password(), download, compare ...
//   }
//   INSTANTIATE_TEST_SUITE_P(Servers, DownloadTest, tarvik::test::AllRealServers(),
//                            tarvik::test::RealServerParamName);
//
// A server that cannot start makes Server()/RealServers::Get() throw std::runtime_error carrying
// the server's own output, which the test framework reports as a failure of the test.
// Needs root (the servers switch to the test account) and scripts/install-servers.sh.
//
// Start servers from the test's own thread: a server is ended when the thread that started it ends.
//
// Server habits worth knowing: vsftpd logs "anonymous" in at USER (230, no password asked);
// proftpd answers the first command of a session that begins right after another one ended about
// 0.3 s late (its own pace, not a failure).
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace tarvik::test {

class RealServerRegistry;

class RealFtpServer {
 public:
  // "pyftpdlib", "vsftpd", "pureftpd" or "proftpd".
  const std::string& Name() const { return name_; }
  // Always "127.0.0.1".
  std::string Host() const { return "127.0.0.1"; }
  std::uint16_t Port() const { return port_; }
  const std::string& User() const { return user_; }
  const std::string& Password() const { return password_; }
  // The folder on disk that is "/" of the test account's session; writable by the server.
  const std::filesystem::path& RootDir() const { return root_dir_; }
  // Whether "anonymous" can log in (any password).
  bool AllowsAnonymous() const { return !anonymous_dir_.empty(); }
  // The folder on disk that is "/" of an anonymous session (read-only); empty when none.
  const std::filesystem::path& AnonymousDir() const { return anonymous_dir_; }

  // The folder on disk for a remote path of the test account ("/a/b" or "a/b").
  std::filesystem::path LocalPath(const std::string& remote_path) const;
  // Creates RootDir()/relative as an empty folder owned by the account, removing what was there.
  std::filesystem::path FreshDir(const std::string& relative) const;
  // Writes `bytes` to RootDir()/relative (creating parent folders) and hands it to the account.
  std::filesystem::path PutFile(const std::string& relative, const std::string& bytes) const;
  // Reads RootDir()/relative; fails the test (and returns "") when the file is missing.
  std::string GetFile(const std::string& relative) const;
  // Makes `path` (recursively) belong to the account, so that the server may change or delete it.
  void GiveToAccount(const std::filesystem::path& path) const;
  // What the server wrote to its output and log so far (for failure messages).
  std::string Output() const;

 private:
  friend class RealServerRegistry;  // starts the servers and fills these in
  std::string name_;
  std::uint16_t port_ = 0;
  std::string user_;
  std::string password_;
  std::filesystem::path root_dir_;
  std::filesystem::path anonymous_dir_;
  std::vector<std::filesystem::path> output_files_;
  unsigned account_uid_ = 0;
  unsigned account_gid_ = 0;
};

class RealServers {
 public:
  // The server of that name, started on first use; throws std::runtime_error with the server's
  // output when it cannot be started.
  static RealFtpServer& Get(const std::string& name);
  // Stops the server (its sessions included) and starts it again on the same port, with the same
  // configuration and files: a server restarted between two sessions. Throws like Get().
  static void Restart(const std::string& name);
  // {"pyftpdlib", "vsftpd", "pureftpd", "proftpd"}.
  static const std::vector<std::string>& Names();
};

// Base of tests run once against each real server (see AllRealServers()).
class RealFtpServerTest : public ::testing::TestWithParam<std::string> {
 protected:
  RealFtpServer& Server() const { return RealServers::Get(GetParam()); }
};

// The parameters for INSTANTIATE_TEST_SUITE_P: every server name.
inline auto AllRealServers() {
  return ::testing::ValuesIn(RealServers::Names());
}

// Names the instantiated tests after the server ("Servers/DownloadTest.CopiesAFile/vsftpd").
inline std::string RealServerParamName(const ::testing::TestParamInfo<std::string>& info) {
  return info.param;
}

}  // namespace tarvik::test
