#include "platform/loop/posix/message_queue.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>

namespace tarvik::platform::loop {

void MessageQueue::Push(WindowHandle window, MessageId message, WParam wparam, LParam lparam) {
  messages_.push_back(QueuedMessage{next_sequence_++, window, message, wparam, lparam});
}

std::optional<QueuedMessage> MessageQueue::PopBefore(std::uint64_t limit) {
  if (messages_.empty() || messages_.front().sequence >= limit) return std::nullopt;
  QueuedMessage front = messages_.front();
  messages_.pop_front();
  return front;
}

void MessageQueue::Purge(const std::function<bool(const QueuedMessage&)>& matches) {
  messages_.erase(std::remove_if(messages_.begin(), messages_.end(), matches), messages_.end());
}

CrossThreadInbox::CrossThreadInbox() : wake_fd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
  // Without its wake-up descriptor a loop could sleep through posts from other threads; there is
  // no sensible way to run on, and it only fails when the process is out of descriptors.
  if (wake_fd_ < 0) std::abort();
}

CrossThreadInbox::~CrossThreadInbox() {
  close(wake_fd_);
}

void CrossThreadInbox::Post(WindowHandle window, MessageId message, WParam wparam, LParam lparam) {
  {
    std::lock_guard lock(mutex_);
    posted_.push_back(QueuedMessage{0, window, message, wparam, lparam});
    has_mail_.store(true, std::memory_order_release);
  }
  const std::uint64_t one = 1;
  // A full counter (never in practice) still leaves the descriptor readable, so the loop wakes.
  [[maybe_unused]] ssize_t written = write(wake_fd_, &one, sizeof one);
}

void CrossThreadInbox::Drain(MessageQueue& queue) {
  std::uint64_t count = 0;
  [[maybe_unused]] ssize_t got = read(wake_fd_, &count, sizeof count);
  std::vector<QueuedMessage> posted;
  {
    std::lock_guard lock(mutex_);
    posted.swap(posted_);
    has_mail_.store(false, std::memory_order_release);
  }
  for (const QueuedMessage& m : posted) queue.Push(m.window, m.message, m.wparam, m.lparam);
}

}  // namespace tarvik::platform::loop
