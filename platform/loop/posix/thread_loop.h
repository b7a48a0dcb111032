// One thread's message loop: the state behind message_loop.h and winsock.h.
#pragma once

#include <poll.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "platform/loop/message_loop.h"
#include "platform/loop/posix/message_queue.h"
#include "platform/loop/posix/socket_notifier.h"
#include "platform/loop/posix/timer_table.h"

namespace tarvik::platform::loop {

class ThreadLoop {
 public:
  // The calling thread's loop, created on first use.
  static ThreadLoop& Current();
  // The calling thread's loop if it has one.
  static ThreadLoop* Existing();

  ThreadLoop();
  ~ThreadLoop();
  ThreadLoop(const ThreadLoop&) = delete;
  ThreadLoop& operator=(const ThreadLoop&) = delete;

  WindowHandle CreateWindow();
  bool DestroyWindow(WindowHandle window);
  bool OwnsWindow(WindowHandle window) const { return windows_.contains(window); }
  WindowProcedure ReplaceProcedure(WindowHandle window, WindowProcedure procedure);

  void PostLocal(WindowHandle window, MessageId message, WParam wparam, LParam lparam) {
    queue_.Push(window, message, wparam, lparam);
  }

  TimerId SetTimer(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                   TimerProcedure procedure);
  bool KillTimer(WindowHandle window, TimerId id);

  std::size_t ProcessPending();
  bool WaitForMessage(std::int64_t timeout_ms);

  SocketNotifier& Sockets() { return notifier_; }

 private:
  // Polls the watched sockets (and, when `include_wake` is set, the inbox's eventfd) for at most
  // `timeout_ms`, and queues what it finds.
  void Poll(int timeout_ms, bool include_wake);
  bool SomethingReady();
  void Dispatch(const QueuedMessage& message);
  std::size_t FireDueTimers();

  MessageQueue queue_;
  std::shared_ptr<CrossThreadInbox> inbox_;
  // The window procedures, shared so that a procedure replaced or destroyed while it runs lives on
  // until its call returns.
  std::unordered_map<WindowHandle, std::shared_ptr<WindowProcedure>> windows_;
  TimerTable timers_;
  SocketNotifier notifier_;
  std::vector<pollfd> poll_entries_;  // reused by every Poll
};

}  // namespace tarvik::platform::loop
