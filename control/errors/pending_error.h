// The error being handled on this thread: what the automation runtime's error object holds inside
// an error handler. The one handler of a public method (or of an event) opens a PendingErrorScope
// for the NumberedError it caught, so that the error record can fall back on it: GetErrorNumber
// takes its number, DealError its description when the record has none, and the socket error
// texts its description for a code they do not know.
#pragma once

#include <string>

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

}  // namespace tarvik
