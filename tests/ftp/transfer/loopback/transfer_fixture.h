// What the transfer tests share: a control with a container window (so OnTransfer is raised), the
// host's handlers as test hooks, random file contents and drive paths for host files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

#include "control/ftp_library.h"
#include "tests/support/host_files.h"

namespace tarvik::test {

// A host folder or file as the control names it: the drive Z: is the host's "/".
inline std::string DrivePath(const std::filesystem::path& host_path) {
  std::string path = "Z:" + host_path.string();
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

inline std::string RandomBytes(std::size_t count, std::uint32_t seed = 7) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

// Text a host shows: something to say, and no control characters.
inline void ExpectShowable(const std::string& info) {
  EXPECT_FALSE(info.empty());
  for (const char c : info) {
    EXPECT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7F) << "in \"" << info << "\"";
  }
}

inline void WriteHostFile(const std::filesystem::path& path, const std::string& bytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

// A control placed on a site with a window; OnTransfer and OnServerMessage call the hooks.
class HostedControl : private FtpLibraryEvents, private ClientSite {
 public:
  HostedControl() {
    control.SetEventSink(this);
    control.SetClientSite(this);
  }
  ~HostedControl() {
    control.SetEventSink(nullptr);
    control.SetClientSite(nullptr);
  }
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;

  FtpLibrary control;
  std::function<void()> on_transfer;
  std::function<void()> on_server_message;

 private:
  void OnTransfer() override {
    if (on_transfer) on_transfer();
  }
  void OnServerMessage() override {
    if (on_server_message) on_server_message();
  }
  std::uintptr_t ContainerWindow() override { return 1; }
};

}  // namespace tarvik::test
