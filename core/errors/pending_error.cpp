#include "core/errors/pending_error.h"

#include <utility>

namespace tarvik {

namespace {

PendingError& Current() {
  thread_local PendingError current;
  return current;
}

}  // namespace

const PendingError& CurrentPendingError() {
  return Current();
}

PendingErrorScope::PendingErrorScope(long number, std::string description)
    : previous_(std::exchange(Current(), PendingError{number, std::move(description)})) {}

PendingErrorScope::~PendingErrorScope() {
  Current() = std::move(previous_);
}

}  // namespace tarvik
