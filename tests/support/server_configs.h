// Generated configuration and command lines of the real test servers.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_account.h"

namespace tarvik::test {

// Where and how one server is to run.
struct ServerSetting {
  std::string name;                 // "pyftpdlib", "vsftpd", "pureftpd", "proftpd"
  std::filesystem::path dir;        // private folder for its configuration and logs
  std::filesystem::path root;       // "/" of the test account's sessions (writable)
  std::filesystem::path anonymous;  // "/" of anonymous sessions (read-only), or empty
  std::uint16_t port = 0;           // control port on 127.0.0.1
  std::uint16_t passive_low = 0;    // passive data ports on 127.0.0.1
  std::uint16_t passive_high = 0;
  const TestAccount* account = nullptr;
};

// What a server needs to be started.
struct ServerLaunch {
  std::vector<std::string> argv;
  bool as_account = false;                        // run the process as the test account
  std::vector<std::filesystem::path> extra_logs;  // log files besides standard output and error
};

// The folder anonymous sessions see, given the server's private folder; empty when the server
// offers no anonymous logins here.
std::filesystem::path AnonymousDirFor(const std::string& name, const std::filesystem::path& dir);

// Writes the server's configuration into setting.dir and returns how to start it; throws
// std::runtime_error when the server is not installed or a file cannot be written.
ServerLaunch PrepareServer(const ServerSetting& setting);

}  // namespace tarvik::test
