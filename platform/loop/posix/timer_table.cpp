#include "platform/loop/posix/timer_table.h"

#include <algorithm>

namespace tarvik::platform::loop {

TimerId TimerTable::Set(WindowHandle window, TimerId id, std::uint32_t elapse_ms,
                        TimerProcedure procedure, std::int64_t now_ms) {
  if (window == 0) id = next_thread_timer_id_++;
  const std::int64_t interval = std::max<std::int64_t>(elapse_ms, 1);
  Timer& timer = timers_[Key{window, id}];
  timer.interval_ms = interval;
  timer.due_ms = now_ms + interval;
  timer.procedure = std::move(procedure);
  return id;
}

bool TimerTable::Kill(WindowHandle window, TimerId id) {
  return timers_.erase(Key{window, id}) > 0;
}

void TimerTable::KillAllOf(WindowHandle window) {
  std::erase_if(timers_, [window](const auto& entry) { return entry.first.window == window; });
}

std::optional<std::int64_t> TimerTable::MsUntilNextDue(std::int64_t now_ms) const {
  std::optional<std::int64_t> soonest;
  for (const auto& [key, timer] : timers_) {
    if (timer.running) continue;
    const std::int64_t wait = std::max<std::int64_t>(timer.due_ms - now_ms, 0);
    if (!soonest || wait < *soonest) soonest = wait;
  }
  return soonest;
}

std::vector<TimerTable::Key> TimerTable::Due(std::int64_t now_ms) const {
  std::vector<Key> due;
  for (const auto& [key, timer] : timers_) {
    if (!timer.running && timer.due_ms <= now_ms) due.push_back(key);
  }
  return due;
}

TimerTable::Timer* TimerTable::Find(const Key& key) {
  auto it = timers_.find(key);
  return it == timers_.end() ? nullptr : &it->second;
}

}  // namespace tarvik::platform::loop
