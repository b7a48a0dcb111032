#include "tests/support/fake_ftp_server.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

#include "tests/support/fake_ftp_player.h"
#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

// Each line of `text` ends in CR LF; "a\nb" becomes "a\r\nb\r\n".
std::string AsReplyLines(const std::string& text) {
  std::string framed;
  for (char c : text) {
    if (c == '\n') {
      framed += "\r\n";
    } else {
      framed += c;
    }
  }
  return framed + "\r\n";
}

// How long the destructor waits for a script that has not finished yet.
constexpr std::chrono::seconds kFinishGrace{5};

}  // namespace

FakeFtpServer::FakeFtpServer() {
  int listener = ListenOnLoopback(0);
  if (listener < 0) throw std::runtime_error("FakeFtpServer: cannot listen: " + ErrnoText(errno));
  listener_ = listener;
  port_ = LocalPortOf(listener);
}

FakeFtpServer::~FakeFtpServer() {
  if (listener_ >= 0) ::close(listener_);  // never started
  if (thread_.joinable()) {
    if (!player_->WaitFinished(kFinishGrace)) {
      std::string pending = player_->PendingStep();
      if (!pending.empty()) {
        ADD_FAILURE() << "Fake FTP server: the script did not finish; it stopped at " << pending;
      }
    }
    player_->Stop();
    thread_.join();
  }
}

FakeFtpServer& FakeFtpServer::Add(Step step) {
  if (thread_.joinable()) throw std::logic_error("FakeFtpServer: script changed after Start()");
  if (!steps_.empty() && steps_.back().kind == Step::Kind::kStall) {
    throw std::logic_error("FakeFtpServer: Stall() must be the last step");
  }
  steps_.push_back(std::move(step));
  return *this;
}

FakeFtpServer& FakeFtpServer::Expect(std::string command) {
  return Add({Step::Kind::kExpect, std::move(command)});
}
FakeFtpServer& FakeFtpServer::ExpectLike(std::string pattern) {
  return Add({Step::Kind::kExpectLike, std::move(pattern)});
}
FakeFtpServer& FakeFtpServer::ExpectAny() {
  return Add({Step::Kind::kExpectAny, {}});
}
FakeFtpServer& FakeFtpServer::ExpectPort() {
  return Add({Step::Kind::kExpectPort, {}});
}
FakeFtpServer& FakeFtpServer::ExpectClose() {
  return Add({Step::Kind::kExpectClose, {}});
}

FakeFtpServer& FakeFtpServer::Reply(std::string text) {
  return Add({Step::Kind::kSend, AsReplyLines(text)});
}
FakeFtpServer& FakeFtpServer::ReplyRaw(std::string bytes) {
  return Add({Step::Kind::kSend, std::move(bytes)});
}
FakeFtpServer& FakeFtpServer::ReplyByteByByte(std::string text) {
  return Add({Step::Kind::kSendByteByByte, AsReplyLines(text)});
}
FakeFtpServer& FakeFtpServer::ReplySplit(std::string text, std::size_t at) {
  const std::string framed = AsReplyLines(text);
  Add({Step::Kind::kSend, framed.substr(0, at)});
  return Add({Step::Kind::kSendAfterPause, framed.substr(at)});
}
FakeFtpServer& FakeFtpServer::ReplyPasv() {
  return ReplyPasv("127,0,0,1");
}
FakeFtpServer& FakeFtpServer::ReplyPasv(std::string address) {
  return Add({Step::Kind::kPasv, std::move(address)});
}

FakeFtpServer& FakeFtpServer::OpenData() {
  return Add({Step::Kind::kOpenData, {}});
}
FakeFtpServer& FakeFtpServer::SendDataPart(std::string bytes) {
  return Add({Step::Kind::kSendDataPart, std::move(bytes)});
}
FakeFtpServer& FakeFtpServer::SendData(std::string bytes) {
  return Add({Step::Kind::kSendData, std::move(bytes)});
}
FakeFtpServer& FakeFtpServer::ReceiveData() {
  return Add({Step::Kind::kReceiveData, {}});
}
FakeFtpServer& FakeFtpServer::ReceiveDataPart(std::size_t count) {
  Step step{Step::Kind::kReceiveDataPart, {}};
  step.count = count;
  return Add(std::move(step));
}
FakeFtpServer& FakeFtpServer::CloseData() {
  return Add({Step::Kind::kCloseData, {}});
}
FakeFtpServer& FakeFtpServer::ResetData() {
  return Add({Step::Kind::kResetData, {}});
}

FakeFtpServer& FakeFtpServer::Stall() {
  return Add({Step::Kind::kStall, {}});
}
FakeFtpServer& FakeFtpServer::Hold() {
  return Add({Step::Kind::kHold, {}});
}
FakeFtpServer& FakeFtpServer::Drop() {
  return Add({Step::Kind::kDrop, {}});
}
FakeFtpServer& FakeFtpServer::Reset() {
  return Add({Step::Kind::kReset, {}});
}

void FakeFtpServer::Start() {
  if (thread_.joinable()) throw std::logic_error("FakeFtpServer: Start() called twice");
  player_ = std::make_unique<Player>(std::exchange(listener_, -1), std::move(steps_));
  thread_ = std::thread([player = player_.get()] { player->Run(); });
}

FakeFtpServer::Player& FakeFtpServer::Started() const {
  if (!player_) throw std::logic_error("FakeFtpServer: used before Start()");
  return *player_;
}

void FakeFtpServer::Release() {
  Started().Release();
}
bool FakeFtpServer::IsFinished() const {
  return Started().IsFinished();
}
bool FakeFtpServer::WaitFinished(std::chrono::milliseconds timeout) {
  return Started().WaitFinished(timeout);
}
std::vector<std::string> FakeFtpServer::Commands() const {
  return Started().Commands();
}
std::vector<std::string> FakeFtpServer::Uploads() const {
  return Started().Uploads();
}
std::vector<std::string> FakeFtpServer::Failures() const {
  return Started().Failures();
}
std::vector<std::string> FakeFtpServer::Notes() const {
  return Started().Notes();
}
int FakeFtpServer::ControlConnections() const {
  return Started().ControlConnections();
}

std::uint16_t FakeFtpServer::ClosedPort() {
  return PickFreeLoopbackPort();
}

}  // namespace tarvik::test
