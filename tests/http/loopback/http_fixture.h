// What the HTTP download tests share: a hosted control (with a container window, so OnTransfer
// is raised), a private local folder, and a download of one address into it.
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <string>

#include "tests/ftp/transfer/loopback/transfer_fixture.h"

namespace tarvik::test {

class HttpDownloadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-http-XXXXXX").string();
    ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
    local_ = pattern;
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(local_, ignored);
  }

  // Downloads `address` to `target` (a file or folder under the private folder; "" for the
  // folder itself). True on success; the error is in the control.
  bool Fetch(const std::string& address, const std::string& target = "") {
    control().put_RemotePath(address);
    control().put_LocalPath(DrivePath(local_ / target) + (target.empty() ? "\\" : ""));
    return control().DownloadHttpFile();
  }
  std::string Error() {
    return std::to_string(control().get_ErrorNumber()) + " " + control().get_ErrorInfo();
  }
  FtpLibrary& control() { return hosted_.control; }

  HostedControl hosted_;
  std::filesystem::path local_;
};

}  // namespace tarvik::test
