#include "platform/loop/posix/socket_notifier.h"

#include <sys/ioctl.h>
#include <sys/socket.h>

#include <cerrno>
#include <iterator>

#include "platform/loop/posix/error_mapping.h"
#include "platform/loop/winsock.h"

namespace tarvik::platform::loop {
namespace {

using winsock::kFdAccept;
using winsock::kFdClose;
using winsock::kFdConnect;
using winsock::kFdRead;
using winsock::kFdWrite;

// The order in which events found together are posted.
constexpr long kPostingOrder[] = {kFdConnect, kFdAccept, kFdRead, kFdWrite, kFdClose};

// Takes (and so clears) the socket's pending error, as a Windows Sockets number.
int TakeSocketError(int fd) {
  int error = 0;
  socklen_t length = sizeof error;
  if (getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &length) != 0) error = errno;
  return winsock::ErrorFromErrno(error);
}

bool DataWaiting(int fd) {
  int count = 0;
  return ioctl(fd, FIONREAD, &count) == 0 && count > 0;
}

bool IsResetError(int error) {
  return error == winsock::kWsaEConnReset || error == winsock::kWsaEConnAborted;
}

}  // namespace

void SocketNotifier::Select(int fd, WindowHandle window, MessageId message, long mask,
                            Phase phase) {
  auto existing = sockets_.find(fd);
  if (existing == sockets_.end()) {
    Selection fresh;
    fresh.phase = phase;
    existing = sockets_.emplace(fd, fresh).first;
  } else {
    // A new selection starts the bookkeeping afresh but keeps what is known about the connection.
    Purge(fd, existing->second);
    existing->second.pending = 0;
    existing->second.reported = 0;
  }
  Selection& s = existing->second;
  s.window = window;
  s.message = message;
  s.mask = mask;
  // Watching stops once the peer has closed, so conditions that already hold are taken in here.
  if (s.phase == Phase::kConnected && s.peer_closed) {
    if (DataWaiting(fd)) MarkPending(s, kFdRead);
    s.close_error = s.reset_error;
    MarkPending(s, kFdClose);
  }
}

void SocketNotifier::Inherit(int fd, int listening_fd) {
  const Selection* listening = Find(listening_fd);
  if (listening == nullptr) return;
  const Selection model = *listening;  // Select may rehash the table
  Cancel(fd);  // a brand-new connection: nothing known about an earlier socket of that number
  Select(fd, model.window, model.message, model.mask, Phase::kConnected);
}

bool SocketNotifier::Cancel(int fd) {
  auto it = sockets_.find(fd);
  if (it == sockets_.end()) return false;
  Purge(fd, it->second);
  sockets_.erase(it);
  return true;
}

void SocketNotifier::CancelAllTo(WindowHandle window) {
  for (auto it = sockets_.begin(); it != sockets_.end();) {
    if (it->second.window == window) {
      Purge(it->first, it->second);
      it = sockets_.erase(it);
    } else {
      ++it;
    }
  }
}

SocketNotifier::Phase SocketNotifier::PhaseOf(int fd) const {
  auto it = sockets_.find(fd);
  return it == sockets_.end() ? Phase::kIdle : it->second.phase;
}

void SocketNotifier::ConnectStarted(int fd) {
  if (Selection* s = Find(fd)) s->phase = Phase::kConnecting;
}

void SocketNotifier::ConnectedAtOnce(int fd) {
  if (Selection* s = Find(fd)) {
    s->phase = Phase::kConnected;
    s->connect_error = 0;
    MarkPending(*s, kFdConnect);
    MarkPending(*s, kFdWrite);
  }
}

void SocketNotifier::Received(int fd, int error) {
  Selection* s = Find(fd);
  if (s == nullptr) return;
  s->reported &= ~kFdRead;
  if (IsResetError(error)) s->reset_error = error;
  // After the peer's close the socket is no longer watched for reading; what is left is known now.
  if (s->peer_closed) {
    s->pending &= ~kFdRead;
    if (DataWaiting(fd)) MarkPending(*s, kFdRead);
  }
}

void SocketNotifier::Sent(int fd, int error) {
  Selection* s = Find(fd);
  if (s == nullptr) return;
  if (error == winsock::kWsaEWouldBlock) s->reported &= ~kFdWrite;
  if (IsResetError(error)) s->reset_error = error;
}

void SocketNotifier::Accepted(int fd) {
  if (Selection* s = Find(fd)) s->reported &= ~kFdAccept;
}

void SocketNotifier::ListenStarted(int fd) {
  if (Selection* s = Find(fd)) {
    s->phase = Phase::kListening;
    s->reported &= ~kFdAccept;
  }
}

void SocketNotifier::AddPollEntries(std::vector<pollfd>& entries) const {
  for (const auto& [fd, s] : sockets_) {
    short events = 0;
    switch (s.phase) {
      case Phase::kIdle:
        break;
      case Phase::kConnecting:
        events = POLLOUT;
        break;
      case Phase::kListening:
        if (Armed(s, kFdAccept)) events = POLLIN;
        break;
      case Phase::kConnected:
        if (s.hung_up) break;
        if (!s.peer_closed) {
          if (Armed(s, kFdRead)) events |= POLLIN;
          if (Armed(s, kFdClose)) events |= POLLRDHUP;
        }
        if (Armed(s, kFdWrite)) events |= POLLOUT;
        break;
    }
    if (events != 0) entries.push_back(pollfd{fd, events, 0});
  }
}

void SocketNotifier::OnPollResult(int fd, short revents) {
  Selection* s = Find(fd);
  if (s == nullptr || revents == 0) return;
  switch (s->phase) {
    case Phase::kIdle:
      break;
    case Phase::kConnecting:
      if ((revents & (POLLOUT | POLLERR | POLLHUP)) == 0) break;
      s->connect_error = TakeSocketError(fd);
      s->phase = s->connect_error == 0 ? Phase::kConnected : Phase::kIdle;
      MarkPending(*s, kFdConnect);
      if (s->connect_error == 0) MarkPending(*s, kFdWrite);
      break;
    case Phase::kListening:
      if (revents & POLLIN) MarkPending(*s, kFdAccept);
      break;
    case Phase::kConnected:
      if (revents & POLLERR) {
        const int error = TakeSocketError(fd);
        if (error != 0) s->reset_error = error;
      }
      if (revents & (POLLERR | POLLHUP)) s->hung_up = true;
      if ((revents & (POLLRDHUP | POLLHUP | POLLERR)) && !s->peer_closed) {
        SeePeerClosed(fd, *s, s->reset_error);
      } else if (revents & POLLIN) {
        MarkPending(*s, kFdRead);
      }
      if ((revents & POLLOUT) && !s->hung_up) MarkPending(*s, kFdWrite);
      break;
  }
}

bool SocketNotifier::HasPending() const {
  for (const auto& [fd, s] : sockets_) {
    if (s.pending != 0) return true;
  }
  return false;
}

void SocketNotifier::PostPending() {
  for (auto& [fd, s] : sockets_) {
    if (s.pending == 0) continue;
    for (long event : kPostingOrder) {
      if ((s.pending & event) == 0) continue;
      const int error = event == kFdConnect ? s.connect_error
                        : event == kFdClose ? s.close_error
                                            : 0;
      queue_.Push(s.window, s.message, static_cast<WParam>(fd),
                  winsock::MakeSelectReply(event, error));
      s.pending &= ~event;
      s.reported |= event;
    }
  }
}

SocketNotifier::Selection* SocketNotifier::Find(int fd) {
  auto it = sockets_.find(fd);
  return it == sockets_.end() ? nullptr : &it->second;
}

bool SocketNotifier::Armed(const Selection& s, long event) {
  return (s.mask & event) != 0 && ((s.pending | s.reported) & event) == 0;
}

void SocketNotifier::MarkPending(Selection& s, long event) {
  if ((s.mask & event) != 0 && (s.reported & event) == 0) s.pending |= event;
}

void SocketNotifier::SeePeerClosed(int fd, Selection& s, int error) {
  s.peer_closed = true;
  if (DataWaiting(fd)) MarkPending(s, kFdRead);
  s.close_error = error;
  MarkPending(s, kFdClose);
}

void SocketNotifier::Purge(int fd, const Selection& s) {
  queue_.Purge([&](const QueuedMessage& m) {
    return m.window == s.window && m.message == s.message && m.wparam == static_cast<WParam>(fd);
  });
}

}  // namespace tarvik::platform::loop
