#include "tests/support/fake_ftp_player.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <sstream>
#include <thread>
#include <utility>

#include "tests/support/loopback_sockets.h"

namespace tarvik::test {
namespace {

// Spacing of the bytes of ReplyByteByByte(), so that each tends to arrive on its own.
constexpr std::chrono::milliseconds kByteSpacing{1};
// Pause before the second part of ReplySplit(), so that the first tends to be read alone.
constexpr std::chrono::milliseconds kSplitPause{5};

void MakeNonBlocking(int fd) {
  ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// '*' matches any run of characters, '?' any one character, everything else itself.
bool MatchesPattern(const std::string& pattern, const std::string& text) {
  std::size_t p = 0, t = 0, star = std::string::npos, resume = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++p;
      ++t;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = t;
    } else if (star != std::string::npos) {
      p = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

// Parses "PORT h1,h2,h3,h4,p1,p2" into an address.
bool ParsePortCommand(const std::string& line, sockaddr_in& target) {
  if (line.rfind("PORT ", 0) != 0) return false;
  std::istringstream fields(line.substr(5));
  int values[6];
  for (int i = 0; i < 6; ++i) {
    char comma = ',';
    if ((i > 0 && !(fields >> comma)) || comma != ',' || !(fields >> values[i]) || values[i] < 0 ||
        values[i] > 255) {
      return false;
    }
  }
  if (!(fields >> std::ws).eof()) return false;
  target = {};
  target.sin_family = AF_INET;
  target.sin_addr.s_addr = htonl(static_cast<std::uint32_t>((values[0] << 24) | (values[1] << 16) |
                                                            (values[2] << 8) | values[3]));
  target.sin_port = htons(static_cast<std::uint16_t>(values[4] * 256 + values[5]));
  return true;
}

std::string AddressText(const sockaddr_in& address) {
  char host[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &address.sin_addr, host, sizeof host);
  return std::string(host) + ":" + std::to_string(ntohs(address.sin_port));
}

}  // namespace

std::string FakeFtpServer::Step::Describe() const {
  switch (kind) {
    case Step::Kind::kExpect:
      return "Expect \"" + text + "\"";
    case Step::Kind::kExpectLike:
      return "ExpectLike \"" + text + "\"";
    case Step::Kind::kExpectAny:
      return "ExpectAny";
    case Step::Kind::kExpectPort:
      return "ExpectPort";
    case Step::Kind::kExpectClose:
      return "ExpectClose";
    case Step::Kind::kSend:
      return "Reply \"" + text.substr(0, text.find('\r')) + "\"";
    case Step::Kind::kSendByteByByte:
      return "ReplyByteByByte \"" + text.substr(0, text.find('\r')) + "\"";
    case Step::Kind::kSendAfterPause:
      return "ReplySplit, second part \"" + text.substr(0, text.find('\r')) + "\"";
    case Step::Kind::kPasv:
      return "ReplyPasv " + text;
    case Step::Kind::kOpenData:
      return "OpenData";
    case Step::Kind::kSendDataPart:
      return "SendDataPart (" + std::to_string(text.size()) + " bytes)";
    case Step::Kind::kSendData:
      return "SendData (" + std::to_string(text.size()) + " bytes)";
    case Step::Kind::kReceiveData:
      return "ReceiveData";
    case Step::Kind::kReceiveDataPart:
      return "ReceiveDataPart (" + std::to_string(count) + " bytes)";
    case Step::Kind::kCloseData:
      return "CloseData";
    case Step::Kind::kResetData:
      return "ResetData";
    case Step::Kind::kStall:
      return "Stall";
    case Step::Kind::kHold:
      return "Hold";
    case Step::Kind::kDrop:
      return "Drop";
    case Step::Kind::kReset:
      return "Reset";
  }
  return "?";
}

FakeFtpServer::Player::Player(int control_listener, std::vector<Step> steps)
    : control_listener_(control_listener),
      stop_fd_(::eventfd(0, EFD_CLOEXEC)),
      steps_(std::move(steps)) {
  MakeNonBlocking(control_listener_);
}

FakeFtpServer::Player::~Player() {
  CloseControl(false);
  CloseData(false);
  for (int fd : {control_listener_, data_listener_, stop_fd_}) {
    if (fd >= 0) ::close(fd);
  }
}

void FakeFtpServer::Player::Run() {
  for (;;) {
    std::size_t index;
    {
      std::lock_guard lock(mutex_);
      index = next_step_;
    }
    if (index == steps_.size()) {
      MarkFinished();
      ServeAfterScript();
      return;
    }
    if (steps_[index].kind == Step::Kind::kStall) {
      MarkFinished();
      ServeStall();
      return;
    }
    switch (Play(steps_[index])) {
      case Outcome::kDone:
        break;
      case Outcome::kFailed:
        ServeAfterScript();
        return;
      case Outcome::kStopped:
        return;
    }
    std::lock_guard lock(mutex_);
    ++next_step_;
  }
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::Play(const Step& step) {
  switch (step.kind) {
    case Step::Kind::kExpect:
    case Step::Kind::kExpectLike:
    case Step::Kind::kExpectAny:
    case Step::Kind::kExpectPort:
      return PlayExpect(step);
    case Step::Kind::kExpectClose:
      return PlayExpectClose();
    case Step::Kind::kSend:
      return PlaySend(step.text, false);
    case Step::Kind::kSendByteByByte:
      return PlaySend(step.text, true);
    case Step::Kind::kSendAfterPause:
      std::this_thread::sleep_for(kSplitPause);
      return PlaySend(step.text, false);
    case Step::Kind::kPasv:
      return PlayPasv(step.text);
    case Step::Kind::kOpenData:
      return PlayOpenData();
    case Step::Kind::kSendDataPart:
      return PlaySendData(step.text, false);
    case Step::Kind::kSendData:
      return PlaySendData(step.text, true);
    case Step::Kind::kReceiveData:
      return PlayReceiveData();
    case Step::Kind::kReceiveDataPart:
      return PlayReceiveData(step.count);
    case Step::Kind::kCloseData:
      CloseData(false);
      return Outcome::kDone;
    case Step::Kind::kResetData:
      CloseData(true);
      return Outcome::kDone;
    case Step::Kind::kHold:
      return PlayHold();
    case Step::Kind::kDrop:
    case Step::Kind::kReset:
      if (!EnsureControl()) return Outcome::kStopped;
      CloseControl(step.kind == Step::Kind::kReset);
      return Outcome::kDone;
    case Step::Kind::kStall:
      break;  // handled by Run()
  }
  return Outcome::kDone;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayExpect(const Step& step) {
  if (!EnsureControl()) return Outcome::kStopped;
  std::string line;
  bool crlf = false;
  switch (ReadCommand(line, crlf)) {
    case Read::kStopped:
      return Outcome::kStopped;
    case Read::kClosed:
      CloseControl(false);
      return Fail(Where() + ": the client closed the control connection instead");
    case Read::kLine:
      break;
  }
  if (!crlf) return Fail(Where() + ": the command \"" + line + "\" did not end in CR LF");
  bool matches = false;
  switch (step.kind) {
    case Step::Kind::kExpect:
      matches = line == step.text;
      break;
    case Step::Kind::kExpectLike:
      matches = MatchesPattern(step.text, line);
      break;
    case Step::Kind::kExpectPort:
      matches = ParsePortCommand(line, active_target_);
      break;
    default:
      matches = true;
      break;
  }
  if (!matches) {
    Outcome failed = Fail(Where() + ": received \"" + line + "\"");
    SendAll(control_, "500 Unexpected command\r\n");
    return failed;
  }
  if (step.kind == Step::Kind::kExpectPort) active_mode_ = true;
  return Outcome::kDone;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayExpectClose() {
  if (control_ < 0) return Outcome::kDone;
  std::string line;
  bool crlf = false;
  switch (ReadCommand(line, crlf)) {
    case Read::kStopped:
      return Outcome::kStopped;
    case Read::kClosed:
      CloseControl(false);
      return Outcome::kDone;
    case Read::kLine:
      break;
  }
  return Fail(Where() + ": received \"" + line + "\" instead");
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlaySend(const std::string& bytes,
                                                               bool byte_by_byte) {
  if (!EnsureControl()) return Outcome::kStopped;
  if (!byte_by_byte) return Sent(SendAll(control_, bytes));
  for (char c : bytes) {
    if (Outcome sent = Sent(SendAll(control_, std::string(1, c))); sent != Outcome::kDone) {
      return sent;
    }
    std::this_thread::sleep_for(kByteSpacing);
  }
  return Outcome::kDone;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayPasv(const std::string& address) {
  if (!EnsureControl()) return Outcome::kStopped;
  // A new passive exchange starts a new data connection, as on a real server: one left open by
  // an exchange the client gave up is closed.
  CloseData(false);
  if (data_listener_ >= 0) ::close(data_listener_);
  data_listener_ = ListenOnLoopback(0);
  if (data_listener_ < 0) return Fail(Where() + ": cannot listen for data: " + ErrnoText(errno));
  MakeNonBlocking(data_listener_);
  active_mode_ = false;
  int port = LocalPortOf(data_listener_);
  return Sent(SendAll(control_, "227 Entering Passive Mode (" + address + "," +
                                    std::to_string(port / 256) + "," + std::to_string(port % 256) +
                                    ").\r\n"));
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayOpenData() {
  if (data_ >= 0) return Outcome::kDone;
  if (active_mode_) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&active_target_), sizeof active_target_) !=
            0 &&
        errno != EINPROGRESS) {
      int error = errno;
      ::close(fd);
      return Fail(Where() + ": cannot connect to " + AddressText(active_target_) + ": " +
                  ErrnoText(error));
    }
    if (!WaitFor(fd, POLLOUT)) {
      ::close(fd);
      return Outcome::kStopped;
    }
    int error = 0;
    socklen_t length = sizeof error;
    ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length);
    if (error != 0) {
      ::close(fd);
      return Fail(Where() + ": cannot connect to " + AddressText(active_target_) + ": " +
                  ErrnoText(error));
    }
    data_ = fd;
    return Outcome::kDone;
  }
  if (data_listener_ < 0) {
    return Fail(Where() + ": no data connection was announced (no 227 reply or PORT command)");
  }
  for (;;) {
    if (!WaitFor(data_listener_, POLLIN)) return Outcome::kStopped;
    int fd = ::accept4(data_listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd >= 0) {
      data_ = fd;
      return Outcome::kDone;
    }
  }
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlaySendData(const std::string& bytes,
                                                                   bool close_after) {
  if (Outcome opened = PlayOpenData(); opened != Outcome::kDone) return opened;
  std::size_t sent = 0;
  if (!SendAll(data_, bytes, &sent)) {
    if (Stopping()) return Outcome::kStopped;
    // A client may hang up a data connection on purpose (an abort): noted, not a failure.
    int error = errno;
    CloseData(false);
    std::lock_guard lock(mutex_);
    notes_.push_back(WhereLocked() + ": the client closed the data connection after " +
                     std::to_string(sent) + " of " + std::to_string(bytes.size()) + " bytes (" +
                     ErrnoText(error) + ")");
    return Outcome::kDone;
  }
  if (close_after) CloseData(false);
  return Outcome::kDone;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayReceiveData(std::size_t at_least) {
  if (Outcome opened = PlayOpenData(); opened != Outcome::kDone) return opened;
  std::string received;
  char buffer[65536];
  while (at_least == 0 || received.size() < at_least) {
    if (!WaitFor(data_, POLLIN)) return Outcome::kStopped;
    const std::size_t wanted = at_least == 0 ? sizeof buffer
                                             : std::min(sizeof buffer, at_least - received.size());
    ssize_t n = ::recv(data_, buffer, wanted, 0);
    if (n > 0) {
      received.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      at_least = 0;  // the client closed (or reset) the data connection: the upload is over
      break;
    }
  }
  if (at_least == 0) CloseData(false);
  std::lock_guard lock(mutex_);
  uploads_.push_back(std::move(received));
  return Outcome::kDone;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::PlayHold() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return stopping_ || releases_ > 0; });
  if (stopping_) return Outcome::kStopped;
  --releases_;
  return Outcome::kDone;
}

void FakeFtpServer::Player::ServeAfterScript() {
  for (;;) {
    if (control_ < 0) {
      if (!WaitFor(control_listener_, POLLIN)) return;
      int fd = ::accept4(control_listener_, nullptr, nullptr, SOCK_CLOEXEC);
      if (fd < 0) continue;
      {
        std::lock_guard lock(mutex_);
        ++control_connections_;
      }
      if (!Failed()) Fail("a control connection was opened after the end of the script");
      ::close(fd);
      continue;
    }
    std::string line;
    bool crlf = false;
    Read read = ReadCommand(line, crlf);
    if (read == Read::kStopped) return;
    if (read == Read::kClosed) {
      CloseControl(false);
    } else if (line == "QUIT") {
      SendAll(control_, "221 Goodbye\r\n");
      CloseControl(false);
    } else {
      if (!Failed()) Fail("unexpected command after the end of the script: \"" + line + "\"");
      SendAll(control_, "500 Unexpected command\r\n");
    }
  }
}

void FakeFtpServer::Player::ServeStall() {
  if (!EnsureControl()) return;
  std::string line;
  bool crlf = false;
  Read read;
  while ((read = ReadCommand(line, crlf)) == Read::kLine) {
  }
  if (read == Read::kClosed) CloseControl(false);
  WaitFor(-1, 0);  // until Stop()
}

bool FakeFtpServer::Player::WaitFor(int fd, short events) {
  pollfd watched[2] = {{stop_fd_, POLLIN, 0}, {fd, events, 0}};
  for (;;) {
    int ready = ::poll(watched, 2, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (watched[0].revents != 0) return false;
    if (watched[1].revents != 0) return true;
  }
}

bool FakeFtpServer::Player::EnsureControl() {
  while (control_ < 0) {
    if (!WaitFor(control_listener_, POLLIN)) return false;
    int fd = ::accept4(control_listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) continue;
    int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
    control_ = fd;
    inbox_.clear();
    std::lock_guard lock(mutex_);
    ++control_connections_;
  }
  return true;
}

FakeFtpServer::Player::Read FakeFtpServer::Player::ReadCommand(std::string& line, bool& crlf) {
  for (;;) {
    if (std::size_t end = inbox_.find('\n'); end != std::string::npos) {
      line = inbox_.substr(0, end);
      inbox_.erase(0, end + 1);
      crlf = !line.empty() && line.back() == '\r';
      if (crlf) line.pop_back();
      std::lock_guard lock(mutex_);
      commands_.push_back(line);
      return Read::kLine;
    }
    if (!WaitFor(control_, POLLIN)) return Read::kStopped;
    char buffer[4096];
    ssize_t n = ::recv(control_, buffer, sizeof buffer, 0);
    if (n > 0) {
      inbox_.append(buffer, static_cast<std::size_t>(n));
    } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
      return Read::kClosed;
    }
  }
}

bool FakeFtpServer::Player::SendAll(int fd, const std::string& bytes, std::size_t* sent_count) {
  std::size_t sent = 0;
  bool complete = true;
  while (sent < bytes.size()) {
    if (!WaitFor(fd, POLLOUT)) {
      complete = false;
      break;
    }
    ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n > 0) {
      sent += static_cast<std::size_t>(n);
    } else if (errno != EAGAIN && errno != EINTR) {
      complete = false;
      break;
    }
  }
  if (sent_count != nullptr) *sent_count = sent;
  return complete;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::Sent(bool all_sent) {
  if (all_sent) return Outcome::kDone;
  int error = errno;
  if (Stopping()) return Outcome::kStopped;
  return Fail(Where() + ": could not send: " + ErrnoText(error));
}

void FakeFtpServer::Player::CloseControl(bool reset) {
  if (control_ < 0) return;
  if (reset) {
    ResetAndClose(control_);
  } else {
    // Read what is still pending first: closing with unread data would send a reset.
    ::shutdown(control_, SHUT_WR);
    char buffer[4096];
    while (::recv(control_, buffer, sizeof buffer, 0) > 0) {
    }
    ::close(control_);
  }
  control_ = -1;
  inbox_.clear();
}

void FakeFtpServer::Player::CloseData(bool reset) {
  if (data_ < 0) return;
  if (reset) {
    ResetAndClose(data_);
  } else {
    ::close(data_);
  }
  data_ = -1;
}

FakeFtpServer::Player::Outcome FakeFtpServer::Player::Fail(const std::string& message) {
  // Reported before the script counts as finished, so that a test that waits for the end
  // always sees the failure.
  ADD_FAILURE() << "Fake FTP server: " << message;
  {
    std::lock_guard lock(mutex_);
    failures_.push_back(message);
    failed_ = true;
    finished_ = true;
  }
  changed_.notify_all();
  return Outcome::kFailed;
}

std::string FakeFtpServer::Player::Where() const {
  std::lock_guard lock(mutex_);
  return WhereLocked();
}

std::string FakeFtpServer::Player::WhereLocked() const {
  if (next_step_ >= steps_.size()) return "the end of the script";
  return "step " + std::to_string(next_step_ + 1) + " (" + steps_[next_step_].Describe() + ")";
}

bool FakeFtpServer::Player::Failed() const {
  std::lock_guard lock(mutex_);
  return failed_;
}

bool FakeFtpServer::Player::Stopping() const {
  std::lock_guard lock(mutex_);
  return stopping_;
}

void FakeFtpServer::Player::MarkFinished() {
  {
    std::lock_guard lock(mutex_);
    finished_ = true;
  }
  changed_.notify_all();
}

void FakeFtpServer::Player::Stop() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t written = ::write(stop_fd_, &one, sizeof one);
}

void FakeFtpServer::Player::Release() {
  {
    std::lock_guard lock(mutex_);
    ++releases_;
  }
  changed_.notify_all();
}

bool FakeFtpServer::Player::IsFinished() const {
  std::lock_guard lock(mutex_);
  return finished_;
}

bool FakeFtpServer::Player::WaitFinished(std::chrono::milliseconds timeout) {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, timeout, [this] { return finished_; });
  return finished_ && !failed_;
}

std::string FakeFtpServer::Player::PendingStep() const {
  std::lock_guard lock(mutex_);
  return finished_ ? std::string() : WhereLocked();
}

std::vector<std::string> FakeFtpServer::Player::Commands() const {
  std::lock_guard lock(mutex_);
  return commands_;
}

std::vector<std::string> FakeFtpServer::Player::Uploads() const {
  std::lock_guard lock(mutex_);
  return uploads_;
}

std::vector<std::string> FakeFtpServer::Player::Notes() const {
  std::lock_guard lock(mutex_);
  return notes_;
}

std::vector<std::string> FakeFtpServer::Player::Failures() const {
  std::lock_guard lock(mutex_);
  return failures_;
}

int FakeFtpServer::Player::ControlConnections() const {
  std::lock_guard lock(mutex_);
  return control_connections_;
}

}  // namespace tarvik::test
