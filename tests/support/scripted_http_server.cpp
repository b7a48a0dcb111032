#include "tests/support/scripted_http_server.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

constexpr int kPollMs = 20;
constexpr auto kStepLimit = std::chrono::seconds(20);

}  // namespace

ScriptedHttpServer::ScriptedHttpServer() {
  listener_ = ListenOnLoopback(0);
  port_ = LocalPortOf(listener_);
}

ScriptedHttpServer::~ScriptedHttpServer() {
  stopping_ = true;
  if (thread_.joinable()) thread_.join();
  if (connection_ >= 0) ::close(connection_);
  if (listener_ >= 0) ::close(listener_);
  if (!failure_.empty()) ADD_FAILURE() << "ScriptedHttpServer: " << failure_;
}

ScriptedHttpServer& ScriptedHttpServer::ExpectRequest() {
  steps_.push_back({Step::Kind::kExpectRequest, {}});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::Send(std::string bytes) {
  steps_.push_back({Step::Kind::kSend, std::move(bytes)});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::SendByteByByte(std::string bytes) {
  steps_.push_back({Step::Kind::kSendByteByByte, std::move(bytes)});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::SendTrickle(std::string bytes,
                                                    std::chrono::milliseconds gap) {
  steps_.push_back({Step::Kind::kSendByteByByte, std::move(bytes), gap, true});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::Close() {
  steps_.push_back({Step::Kind::kClose, {}});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::Reset() {
  steps_.push_back({Step::Kind::kReset, {}});
  return *this;
}
ScriptedHttpServer& ScriptedHttpServer::Stall() {
  steps_.push_back({Step::Kind::kStall, {}});
  return *this;
}

void ScriptedHttpServer::Start() {
  thread_ = std::thread([this] { Play(); });
}

std::vector<std::string> ScriptedHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

bool ScriptedHttpServer::WaitFinished() {
  const auto until = std::chrono::steady_clock::now() + kStepLimit;
  while (!finished_ && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return finished_ && !failed_;
}

void ScriptedHttpServer::Play() {
  for (std::size_t i = 0; i < steps_.size(); ++i) {
    if (!PlayStep(steps_[i])) {
      std::lock_guard lock(mutex_);
      if (failure_.empty()) failure_ = "step " + std::to_string(i + 1) + " was not played";
      failed_ = true;
      break;
    }
  }
  finished_ = true;
  // Stay until the test ends, so that a stalled connection stays open.
  while (!stopping_) std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
}

bool ScriptedHttpServer::EnsureConnection() {
  if (connection_ >= 0) return true;
  const auto until = std::chrono::steady_clock::now() + kStepLimit;
  while (!stopping_ && std::chrono::steady_clock::now() < until) {
    pollfd wanted{listener_, POLLIN, 0};
    if (::poll(&wanted, 1, kPollMs) == 1) {
      connection_ = ::accept(listener_, nullptr, nullptr);
      return connection_ >= 0;
    }
  }
  return false;
}

bool ScriptedHttpServer::PlayStep(const Step& step) {
  if (step.kind == Step::Kind::kStall) {
    finished_ = true;
    return true;
  }
  if (!EnsureConnection()) return false;
  switch (step.kind) {
    case Step::Kind::kExpectRequest: {
      std::string header;
      char byte;
      const auto until = std::chrono::steady_clock::now() + kStepLimit;
      while (header.find("\r\n\r\n") == std::string::npos) {
        pollfd wanted{connection_, POLLIN, 0};
        if (stopping_ || std::chrono::steady_clock::now() > until) return false;
        if (::poll(&wanted, 1, kPollMs) != 1) continue;
        if (::recv(connection_, &byte, 1, 0) != 1) return false;
        header += byte;
      }
      std::lock_guard lock(mutex_);
      requests_.push_back(header);
      return true;
    }
    case Step::Kind::kSend:
      return ::send(connection_, step.bytes.data(), step.bytes.size(), MSG_NOSIGNAL) ==
             static_cast<ssize_t>(step.bytes.size());
    case Step::Kind::kSendByteByByte:
      for (char byte : step.bytes) {
        if (stopping_) return false;
        if (::send(connection_, &byte, 1, MSG_NOSIGNAL) != 1) return step.until_closed;
        std::this_thread::sleep_for(step.gap);
      }
      return true;
    case Step::Kind::kClose:
      ::close(connection_);
      connection_ = -1;
      return true;
    case Step::Kind::kReset:
      ResetAndClose(connection_);
      connection_ = -1;
      return true;
    case Step::Kind::kStall:
      break;
  }
  return true;
}

}  // namespace tarvik::test
