// A session driven from a test: a host that records what the session raises, and helpers for
// the scripted server and the clocks.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/session/data_transfer_sink.h"
#include "ftp/session/ftp_session.h"
#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"
#include "tests/support/fake_ftp_server.h"
#include "tests/support/fake_login.h"

namespace tarvik::test {

// A transfer sink that keeps what arrives on the data connection and counts its events.
class RecordingSink : public DataTransferSink {
 public:
  void OnDataConnected() override { ++connected; }
  void OnDataReceived(std::string_view bytes) override { received += bytes; }
  void OnDataSendComplete() override {}
  void OnDataClosed() override { ++closed; }
  void OnDataAborted() override { received.clear(); }
  void CloseLocalFile() override {}

  int connected = 0;
  int closed = 0;
  std::string received;
};

class RecordingHost : public SessionHost {
 public:
  void RaiseStateChange() override {
    states.push_back(session->state().ftp_state);
    if (on_state_change) on_state_change();
  }
  void RaiseServerMessage() override {
    messages.push_back(session->state().message_info);
    if (on_server_message) on_server_message();
  }
  void RaiseTransfer() override {}
  void SetTimersEnabled(bool enabled) override { timers_enabled = enabled; }
  std::uintptr_t ContainerWindowFromSite() override { return 0; }

  FtpSession* session = nullptr;
  std::vector<FtpStates> states;      // FtpState at each OnStateChange
  std::vector<std::string> messages;  // MessageInfo at each OnServerMessage
  bool timers_enabled = false;
  std::function<void()> on_state_change;
  std::function<void()> on_server_message;
};

// A session on 127.0.0.1 with its recording host.
struct SessionUnderTest {
  explicit SessionUnderTest(std::uint16_t port, std::string user = "u", std::string pass = "p")
      : session(host) {
    host.session = &session;
    session.settings().server_name = "127.0.0.1";
    session.settings().port = port;
    session.settings().username = std::move(user);
    session.settings().password = std::move(pass);
  }
  RecordingHost host;
  FtpSession session;
};

// A clock that moves `step_ms` every time it is read: a wait of 30 s of this clock passes in a
// few dozen looks at it.
class SteppingClock : public platform::Clock {
 public:
  explicit SteppingClock(std::int64_t step_ms) : step_ms_(step_ms) {}
  std::int64_t MonotonicMs() override { return ms_ += step_ms_; }
  std::chrono::system_clock::time_point Now() override {
    return std::chrono::system_clock::time_point(std::chrono::milliseconds(ms_));
  }

 private:
  std::int64_t step_ms_;
  std::int64_t ms_ = 1'000'000;
};

// Installs a clock for the scope of a test.
class ScopedClock {
 public:
  explicit ScopedClock(std::shared_ptr<platform::Clock> clock) {
    platform::SetClockForTesting(std::move(clock));
  }
  ~ScopedClock() { platform::SetClockForTesting(nullptr); }
};

}  // namespace tarvik::test

namespace tarvik::test {

// Pumps the thread's messages until `done` holds; false after 10 s of real time.
inline bool PumpUntil(const std::function<bool()>& done) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!done()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    platform::WaitForMessage(20);
    platform::ProcessPendingMessages();
  }
  return true;
}

}  // namespace tarvik::test
