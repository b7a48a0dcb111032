// The wait of every blocking method: wait for the next message (at most a short slice), handle
// what came, and look again, until the operation ends, an error is recorded or the limit passes.
// Limits are seconds of the injectable clock, so tests run them in milliseconds.
#include <algorithm>

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "core/session/operation_core.h"
#include "platform/loop/message_loop.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {
// Longest real-time wait between two looks at the clock and the socket states.
constexpr std::int64_t kWaitSliceMs = 50;

}  // namespace

void OperationCore::WaitForOperation(Operation operation, std::int64_t limit_seconds,
                                     bool quiet_expiry, const std::function<void()>& each_step) {
  platform::Clock& clock = platform::CurrentClock();
  const std::int64_t deadline = clock.MonotonicMs() + limit_seconds * 1000;
  while (!ErrorRecorded() && state_.current_operation == operation) {
    if (each_step) {
      each_step();
      if (ErrorRecorded() || state_.current_operation != operation) break;
    }
    const std::int64_t now = clock.MonotonicMs();
    if (now > deadline) {
      OnWaitExpired();
      if (!quiet_expiry) Raise(ErrorCode::kTimedOut);
      state_.current_operation = Operation::kNone;
      return;
    }
    platform::WaitForMessage(std::min(deadline - now + 1, kWaitSliceMs));
    platform::ProcessPendingMessages();
  }
}

}  // namespace tarvik
