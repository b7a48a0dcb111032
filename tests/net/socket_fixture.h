// A private world for the socket tests: TARVIK_ROOT and TMPDIR point into a fresh temporary folder
// (so the error record's log lands there), the thread's error record starts afresh, and helpers
// drive the thread's message loop and record what a CSocket raises.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/errors/error_record.h"
#include "core/errors/log_file.h"
#include "core/errors/message_table.h"
#include "net/csocket.h"
#include "net/socket_support.h"
#include "platform/fs/drive_table.h"
#include "platform/loop/message_loop.h"
#include "platform/registry/posix/store_location.h"
#include "platform/registry/registry.h"

namespace tarvik {

// Everything a CSocket raised, in order, as short texts ("Connect", "DataArrival:5", ...).
struct EventLog {
  std::vector<std::string> events;
  std::vector<std::uint8_t> bytes;  // what OnDataArrival handed over, through GetData
  bool Has(const std::string& event) const {
    return std::find(events.begin(), events.end(), event) != events.end();
  }
};

// Connects every event of `socket` to `log`; data is taken with GetData as it arrives.
inline void Record(const std::shared_ptr<CSocket>& socket, EventLog& log) {
  CSocket* s = socket.get();  // the handlers must not keep their own socket alive
  s->OnError = [&log] {
    log.events.push_back("Error:" + std::to_string(EnsureErrorRecord().get_Number()));
  };
  s->OnClose = [&log] { log.events.push_back("Close"); };
  s->OnConnect = [&log] { log.events.push_back("Connect"); };
  s->OnConnectionRequest = [&log](std::int32_t id) {
    log.events.push_back("ConnectionRequest:" + std::to_string(id));
  };
  s->OnDataArrival = [&log, s](double n) {
    log.events.push_back("DataArrival:" + std::to_string(static_cast<long long>(n)));
    std::vector<std::uint8_t> chunk;
    s->GetData(chunk);
    log.bytes.insert(log.bytes.end(), chunk.begin(), chunk.end());
  };
  s->OnSendComplete = [&log] { log.events.push_back("SendComplete"); };
}

class SocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* tmpdir = getenv("TMPDIR");
    saved_tmpdir_ = tmpdir != nullptr ? std::optional<std::string>(tmpdir) : std::nullopt;
    std::string pattern = (std::filesystem::temp_directory_path() / "tarvik-net-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    root_ = pattern;
    std::filesystem::create_directories(root_ / "tmp");
    setenv("TARVIK_ROOT", root_.c_str(), 1);
    setenv("TMPDIR", (root_ / "tmp").c_str(), 1);
    unsetenv("TARVIK_DRIVES");
    unsetenv("TARVIK_REGISTRY");
    platform::ReloadDriveTable();
    platform::CloseRegistryStore();
    ReleaseErrorRecord();
    LoadMessageTexts();
    EnsureErrorRecord();  // so that the socket's trace lines are logged
    MSocketSupport::State().ConnectPending = false;
    MSocketSupport::State().LastSocketEvent = 0;
  }
  void TearDown() override {
    Settle();
    ReleaseErrorRecord();
    platform::CloseRegistryStore();
    std::filesystem::remove_all(root_);
    if (saved_tmpdir_) {
      setenv("TMPDIR", saved_tmpdir_->c_str(), 1);
    } else {
      unsetenv("TMPDIR");
    }
  }

  // Pumps the loop until `done` holds; fails the test instead of hanging for ever.
  static void PumpUntil(const std::function<bool()>& done) {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
      ASSERT_LT(std::chrono::steady_clock::now(), give_up) << "the awaited event never came";
      platform::WaitForMessage(100);
      platform::ProcessPendingMessages();
    }
  }

  // Pumps until the loop has had nothing to do for a moment.
  static void Settle() {
    while (platform::WaitForMessage(20)) platform::ProcessPendingMessages();
  }

  // The log file's text so far ("" before the first line).
  std::string LogText() const {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root_)) {
      if (entry.path().filename() == kLogFileName) {
        std::ifstream in(entry.path(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
      }
    }
    return {};
  }

  std::filesystem::path root_;
  std::optional<std::string> saved_tmpdir_;  // TMPDIR before the test
};

}  // namespace tarvik
