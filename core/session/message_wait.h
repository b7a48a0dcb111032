// The one wait of the library: pump the thread's messages until a condition holds or a deadline
// passes. Socket notifications, timers and the host's event handlers all run inside it, so the
// condition is asked again after every pass.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>

namespace tarvik {

inline constexpr std::int64_t kNoDeadline = std::numeric_limits<std::int64_t>::max();

// Asks `done` first and after each pass; a pass waits for the thread's next message (at most
// 50 ms, less when the deadline is nearer) and handles every pending message. `deadline_ms` is the
// first time of the injectable monotonic clock at which the wait is over. True when `done` ended
// the wait, false when the deadline did. A failure raised by `done` ends the wait and reaches the
// caller.
bool WaitForMessagesUntil(const std::function<bool()>& done,
                          std::int64_t deadline_ms = kNoDeadline);

}  // namespace tarvik
