// The sockets of one thread's loop that are selected for notification: what each one waits for,
// which events it has seen but not yet posted (pending) and which it has posted and not yet had
// re-armed by the consuming call (reported). An event is posted once and not again until that call.
#pragma once

#include <poll.h>

#include <unordered_map>
#include <vector>

#include "platform/loop/message_loop.h"
#include "platform/loop/posix/message_queue.h"

namespace tarvik::platform::loop {

class SocketNotifier {
 public:
  explicit SocketNotifier(MessageQueue& queue) : queue_(queue) {}

  // Where the socket stands when it gets selected.
  enum class Phase {
    kIdle,        // neither connecting, connected nor listening: nothing to watch
    kConnecting,  // a connect is under way: kFdConnect when it settles
    kConnected,   // read, write and close events
    kListening,   // accept events
  };

  // Selects the socket (replacing and purging an earlier selection). A connected socket gets
  // kFdWrite as soon as it is writable.
  void Select(int fd, WindowHandle window, MessageId message, long mask, Phase phase);
  // Gives an accepted connection `fd` the selection of the listening socket it came from.
  void Inherit(int fd, int listening_fd);
  // Cancels the selection, purging its queued notifications. False when it was not selected.
  bool Cancel(int fd);
  // Cancels every selection that notifies `window`.
  void CancelAllTo(WindowHandle window);
  bool IsSelected(int fd) const { return sockets_.contains(fd); }
  // The phase of a selected socket (kIdle for one that is not selected).
  Phase PhaseOf(int fd) const;

  // What the socket calls report, so that the events they consume are re-armed.
  void ConnectStarted(int fd);
  void ConnectedAtOnce(int fd);      // a non-blocking connect that succeeded immediately
  void Received(int fd, int error);  // any recv; error: Windows Sockets number or 0
  void Sent(int fd, int error);      // any send; kWsaEWouldBlock re-arms kFdWrite
  void Accepted(int fd);
  void ListenStarted(int fd);

  // Appends a pollfd for every socket that has something to wait for.
  void AddPollEntries(std::vector<pollfd>& entries) const;
  // Takes in what poll() reported for `fd`.
  void OnPollResult(int fd, short revents);
  // True when some socket has an event ready to be posted.
  bool HasPending() const;
  // Posts the ready events of every socket, each socket's in the fixed order connect, accept,
  // read, write, close.
  void PostPending();

 private:
  struct Selection {
    WindowHandle window = 0;  // target of the notifications
    MessageId message = 0;    // their message number
    long mask = 0;            // events asked for
    Phase phase = Phase::kIdle;
    bool peer_closed = false;  // the peer closed or reset: no more data will come
    bool hung_up = false;      // both directions are gone: nothing left to watch
    long pending = 0;          // seen, not yet posted
    long reported = 0;         // posted, not yet re-armed
    int connect_error = 0;     // error carried by the pending kFdConnect
    int close_error = 0;       // error carried by the pending kFdClose
    int reset_error = 0;       // a reset learned from recv/send, for the kFdClose to come
  };

  Selection* Find(int fd);
  // True when `event` is asked for and neither pending nor reported.
  static bool Armed(const Selection& s, long event);
  void MarkPending(Selection& s, long event);
  void SeePeerClosed(int fd, Selection& s, int error);
  void Purge(int fd, const Selection& s);

  MessageQueue& queue_;
  std::unordered_map<int, Selection> sockets_;
};

}  // namespace tarvik::platform::loop
