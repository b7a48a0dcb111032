#include "platform/loop/posix/thread_loop.h"

#include <algorithm>
#include <chrono>
#include <limits>

#include "platform/loop/posix/window_directory.h"
#include "platform/time/clock.h"

namespace tarvik::platform::loop {
namespace {

// The thread's loop. A plain pointer, so that it can still be read safely while other thread-local
// objects are destroyed at thread exit; the owner below deletes the loop and clears the pointer.
thread_local ThreadLoop* t_loop = nullptr;

struct LoopOwner {
  ~LoopOwner() {
    delete t_loop;
    t_loop = nullptr;
  }
};
thread_local LoopOwner t_loop_owner;

std::int64_t ClockNow() {
  return CurrentClock().MonotonicMs();
}

LResult DoNothing(WindowHandle, MessageId, WParam, LParam) {
  return 0;
}

}  // namespace

ThreadLoop& ThreadLoop::Current() {
  if (t_loop == nullptr) {
    (void)&t_loop_owner;  // odr-use: the owner exists, and deletes the loop at thread exit
    t_loop = new ThreadLoop();
  }
  return *t_loop;
}

ThreadLoop* ThreadLoop::Existing() {
  return t_loop;
}

ThreadLoop::ThreadLoop() : inbox_(std::make_shared<CrossThreadInbox>()), notifier_(queue_) {}

ThreadLoop::~ThreadLoop() {
  for (const auto& [window, procedure] : windows_) WithdrawWindow(window);
}

WindowHandle ThreadLoop::CreateWindow() {
  const WindowHandle window = AllocateWindowHandle();
  windows_.emplace(window, std::make_shared<WindowProcedure>(DoNothing));
  PublishWindow(window, inbox_);
  return window;
}

bool ThreadLoop::DestroyWindow(WindowHandle window) {
  if (windows_.erase(window) == 0) return false;
  WithdrawWindow(window);
  timers_.KillAllOf(window);
  notifier_.CancelAllTo(window);
  queue_.Purge([window](const QueuedMessage& m) { return m.window == window; });
  return true;
}

WindowProcedure ThreadLoop::ReplaceProcedure(WindowHandle window, WindowProcedure procedure) {
  auto it = windows_.find(window);
  if (it == windows_.end()) return {};
  WindowProcedure previous = *it->second;
  it->second = std::make_shared<WindowProcedure>(procedure ? std::move(procedure)
                                                           : WindowProcedure(DoNothing));
  return previous;
}

TimerId ThreadLoop::SetTimer(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                             TimerProcedure procedure) {
  if (window == 0 ? !procedure : !OwnsWindow(window)) return 0;
  return timers_.Set(window, id, elapse_ms, std::move(procedure), ClockNow());
}

bool ThreadLoop::KillTimer(WindowHandle window, TimerId id) {
  return timers_.Kill(window, id);
}

std::size_t ThreadLoop::ProcessPending() {
  if (inbox_->HasMail()) inbox_->Drain(queue_);
  Poll(0, false);
  const std::uint64_t limit = queue_.NextSequence();
  std::size_t dispatched = 0;
  while (auto message = queue_.PopBefore(limit)) {
    Dispatch(*message);
    ++dispatched;
  }
  return dispatched + FireDueTimers();
}

bool ThreadLoop::WaitForMessage(std::int64_t timeout_ms) {
  using std::chrono::steady_clock;
  const auto deadline =
      steady_clock::now() + std::chrono::milliseconds(std::max<std::int64_t>(timeout_ms, 0));
  for (;;) {
    if (SomethingReady()) return true;
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - steady_clock::now());
    std::int64_t wait_ms = std::max<std::int64_t>(left.count(), 0);
    if (auto timer_ms = timers_.MsUntilNextDue(ClockNow())) wait_ms = std::min(wait_ms, *timer_ms);
    Poll(static_cast<int>(std::min<std::int64_t>(wait_ms, std::numeric_limits<int>::max())), true);
    if (SomethingReady()) return true;
    if (steady_clock::now() >= deadline) return false;
  }
}

void ThreadLoop::Poll(int timeout_ms, bool include_wake) {
  poll_entries_.clear();
  if (include_wake) poll_entries_.push_back(pollfd{inbox_->WakeDescriptor(), POLLIN, 0});
  notifier_.AddPollEntries(poll_entries_);
  // A failed or interrupted poll() reports nothing; the caller simply looks again.
  if (!poll_entries_.empty() && poll(poll_entries_.data(), poll_entries_.size(), timeout_ms) > 0) {
    std::size_t first_socket = 0;
    if (include_wake) {
      if (poll_entries_[0].revents != 0) inbox_->Drain(queue_);
      first_socket = 1;
    }
    for (std::size_t i = first_socket; i < poll_entries_.size(); ++i) {
      notifier_.OnPollResult(poll_entries_[i].fd, poll_entries_[i].revents);
    }
  }
  // Events can also become pending without poll(), e.g. data left behind after the peer closed.
  notifier_.PostPending();
}

bool ThreadLoop::SomethingReady() {
  if (inbox_->HasMail()) inbox_->Drain(queue_);
  if (notifier_.HasPending()) notifier_.PostPending();
  if (!queue_.Empty()) return true;
  auto timer_ms = timers_.MsUntilNextDue(ClockNow());
  return timer_ms && *timer_ms == 0;
}

void ThreadLoop::Dispatch(const QueuedMessage& message) {
  auto it = windows_.find(message.window);
  if (it == windows_.end()) return;  // posted from another thread to a window since destroyed
  const std::shared_ptr<WindowProcedure> procedure = it->second;
  (*procedure)(message.window, message.message, message.wparam, message.lparam);
}

std::size_t ThreadLoop::FireDueTimers() {
  const std::int64_t now = ClockNow();
  std::size_t fired = 0;
  for (const TimerTable::Key& key : timers_.Due(now)) {
    TimerTable::Timer* timer = timers_.Find(key);  // an earlier call may have killed it
    if (timer == nullptr || timer->running || timer->due_ms > now) continue;
    timer->due_ms = now + timer->interval_ms;
    timer->running = true;
    // Cleared however the call ends, so that the timer goes on firing afterwards.
    struct RunningMark {
      TimerTable& timers;
      TimerTable::Key key;
      ~RunningMark() {
        if (TimerTable::Timer* after = timers.Find(key)) after->running = false;
      }
    } mark{timers_, key};
    const TimerProcedure procedure = timer->procedure;  // the call may replace or kill the timer
    if (procedure) {
      procedure(key.window, key.id);
    } else {
      auto window = windows_.find(key.window);
      if (window != windows_.end()) {
        const std::shared_ptr<WindowProcedure> window_procedure = window->second;
        (*window_procedure)(key.window, kWmTimer, key.id, 0);
      }
    }
    ++fired;
  }
  return fired;
}

}  // namespace tarvik::platform::loop
