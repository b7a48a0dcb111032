// The error being handled on this thread: what the automation runtime's error object holds inside
// an error handler. The one handler of a public method (or of an event) opens a PendingErrorScope
// for the NumberedError it caught, so that the error record can fall back on it: GetErrorNumber
// takes its number, DealError its description when the record has none, and the socket error
// texts its description for a code they do not know.
#pragma once

#include <exception>
#include <string>

#include "core/errors/numbered_error.h"
#include "platform/fs/file_errors.h"

namespace tarvik {

struct PendingError {
  long number = 0;          // 0: no error is being handled
  std::string description;  // the error's own text, possibly empty or generic
};

// The innermost pending error of this thread, or {0, ""}.
const PendingError& CurrentPendingError();

// Makes {number, description} the pending error for the scope's lifetime; nests.
class PendingErrorScope {
 public:
  PendingErrorScope(long number, std::string description);
  ~PendingErrorScope();
  PendingErrorScope(const PendingErrorScope&) = delete;
  PendingErrorScope& operator=(const PendingErrorScope&) = delete;

 private:
  PendingError previous_;
};

// Runs `body` as the one handler of a public method: a failure (a NumberedError, or any other
// exception such as memory exhaustion, as ERROR_GEN_FAILURE) is handed to `on_failure` (number,
// description) while it is the thread's pending error, and gives `failure`.
template <typename Result, typename Body, typename OnFailure>
Result Guarded(Result failure, Body body, OnFailure on_failure) {
  long number = 0;
  std::string description;
  try {
    return body();
  } catch (const NumberedError& error) {
    number = error.number();
    description = error.description();
  } catch (const std::exception& error) {
    number = platform::ERROR_GEN_FAILURE;
    description = error.what();
  }
  const PendingErrorScope pending(number, description);
  on_failure(number, description);
  return failure;
}

}  // namespace tarvik
