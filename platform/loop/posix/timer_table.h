// The timers of one thread's loop, measured on the current clock (platform/time/clock.h).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "platform/loop/message_loop.h"

namespace tarvik::platform::loop {

class TimerTable {
 public:
  struct Key {
    WindowHandle window;
    TimerId id;
    auto operator<=>(const Key&) const = default;
  };
  struct Timer {
    std::int64_t interval_ms = 1;  // period
    std::int64_t due_ms = 0;       // clock time of the next call
    TimerProcedure procedure;      // empty: kWmTimer to the window's procedure
    bool running = false;          // its call is on the stack; it does not fire again meanwhile
  };

  // Starts or restarts a timer; with window 0 picks a fresh id. Returns the id.
  TimerId Set(WindowHandle window, TimerId id, std::uint32_t elapse_ms, TimerProcedure procedure,
              std::int64_t now_ms);
  bool Kill(WindowHandle window, TimerId id);
  void KillAllOf(WindowHandle window);

  // Milliseconds from `now_ms` until the earliest timer that may fire is due (0 if one is due);
  // nothing when no timer may fire.
  std::optional<std::int64_t> MsUntilNextDue(std::int64_t now_ms) const;
  // Keys of the timers due at `now_ms` and not running, in key order.
  std::vector<Key> Due(std::int64_t now_ms) const;
  // The timer, if it still exists (a callback may have killed it).
  Timer* Find(const Key& key);

 private:
  std::map<Key, Timer> timers_;
  TimerId next_thread_timer_id_ = 1;
};

}  // namespace tarvik::platform::loop
