// A control logged in to one real server (per test parameter), with a fresh local folder
// ($TARVIK_ROOT/local) and the transfer calls the tests make.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/ftp/transfer/loopback/transfer_fixture.h"
#include "tests/support/real_ftp_servers.h"

namespace tarvik::test {

namespace fs = std::filesystem;

class RealTransferFixture : public RealFtpServerTest {
 protected:
  void SetUp() override {
    RealFtpServer& server = Server();
    local_ = fs::path(std::getenv("TARVIK_ROOT")) / "local";
    fs::remove_all(local_);
    fs::create_directories(local_);
    FtpLibrary& c = control();
    c.put_ServerName(server.Host());
    c.put_Port(server.Port());
    c.put_Username(server.User());
    c.put_Password(server.Password());
  }
  FtpLibrary& control() { return hosted_.control; }
  std::string Failure() {
    return std::to_string(control().get_ErrorNumber()) + " " + control().get_ErrorInfo() + "\n" +
           Server().Output();
  }
  bool Download(const std::string& remote, const fs::path& local) {
    control().put_RemotePath(remote);
    control().put_LocalPath(DrivePath(local));
    return control().Download();
  }
  bool Upload(const fs::path& local, const std::string& remote) {
    control().put_LocalPath(DrivePath(local));
    control().put_RemotePath(remote);
    return control().Upload();
  }

  HostedControl hosted_;
  fs::path local_;
};

}  // namespace tarvik::test
