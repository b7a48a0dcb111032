#include "core/session/message_wait.h"

#include <algorithm>

#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

// Longest real-time wait between two looks at the condition, the clock and the socket states.
constexpr std::int64_t kWaitSliceMs = 50;

}  // namespace

bool WaitForMessagesUntil(const std::function<bool()>& done, std::int64_t deadline_ms) {
  platform::Clock& clock = platform::CurrentClock();
  while (!done()) {
    const std::int64_t now = clock.MonotonicMs();
    if (now >= deadline_ms) return false;
    platform::WaitForMessage(std::min(deadline_ms - now, kWaitSliceMs));
    platform::ProcessPendingMessages();
  }
  return true;
}

}  // namespace tarvik
