// The wait of every blocking method: until the operation ends, an error is recorded or the limit
// passes. Limits are seconds of the injectable clock, so tests run them in milliseconds.
#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "core/session/message_wait.h"
#include "core/session/operation_core.h"
#include "platform/time/clock.h"

namespace tarvik {

void OperationCore::WaitForOperation(Operation operation, std::int64_t limit_seconds,
                                     bool quiet_expiry, const std::function<void()>& each_step) {
  // The limit has passed once the clock is beyond it.
  const std::int64_t deadline = platform::CurrentClock().MonotonicMs() + limit_seconds * 1000 + 1;
  const auto ended = [&] { return ErrorRecorded() || state_.current_operation != operation; };
  const bool done = WaitForMessagesUntil(
      [&] {
        if (ended()) return true;
        if (each_step) each_step();
        return ended();
      },
      deadline);
  if (done) return;
  OnWaitExpired();
  if (!quiet_expiry) Raise(ErrorCode::kTimedOut);
  state_.current_operation = Operation::kNone;
}

}  // namespace tarvik
