// The queues of one thread's loop: the thread's own FIFO of posted messages and socket
// notifications, and the inbox through which other threads post to it.
#pragma once

#include <atomic>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <vector>

#include "platform/loop/message_loop.h"

namespace tarvik::platform::loop {

struct QueuedMessage {
  std::uint64_t sequence = 0;  // position in the thread's queue; passes dispatch by it
  WindowHandle window = 0;     // target window
  MessageId message = 0;
  WParam wparam = 0;
  LParam lparam = 0;
};

// FIFO used by the owning thread only, so it needs no lock.
class MessageQueue {
 public:
  void Push(WindowHandle window, MessageId message, WParam wparam, LParam lparam);
  // The next sequence number; a pass dispatches the messages below the value it saw at its start.
  std::uint64_t NextSequence() const { return next_sequence_; }
  // Removes and returns the oldest message if it was queued before `limit`.
  std::optional<QueuedMessage> PopBefore(std::uint64_t limit);
  bool Empty() const { return messages_.empty(); }
  // Drops every queued message for which `matches` holds.
  void Purge(const std::function<bool(const QueuedMessage&)>& matches);

 private:
  std::deque<QueuedMessage> messages_;
  std::uint64_t next_sequence_ = 1;
};

// Messages posted to a thread's windows from other threads. Shared between the loop and the
// posters; its eventfd wakes the loop's poll(). It outlives the loop while a poster holds it.
class CrossThreadInbox {
 public:
  CrossThreadInbox();
  ~CrossThreadInbox();
  CrossThreadInbox(const CrossThreadInbox&) = delete;
  CrossThreadInbox& operator=(const CrossThreadInbox&) = delete;

  // Any thread.
  void Post(WindowHandle window, MessageId message, WParam wparam, LParam lparam);
  // Owning thread: the eventfd to include in poll().
  int WakeDescriptor() const { return wake_fd_; }
  // Owning thread: true when something was posted since the last Drain (cheap, no lock).
  bool HasMail() const { return has_mail_.load(std::memory_order_acquire); }
  // Owning thread: moves the posted messages, in posting order, into `queue`.
  void Drain(MessageQueue& queue);

 private:
  std::mutex mutex_;
  std::vector<QueuedMessage> posted_;  // guarded by mutex_
  std::atomic<bool> has_mail_{false};
  int wake_fd_ = -1;  // eventfd, counter semantics; written by posters, read by Drain
};

}  // namespace tarvik::platform::loop
