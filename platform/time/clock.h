// Monotonic and wall clocks of the library, injectable so that tests of time-outs and keep-alive
// run in milliseconds. Every deadline of the library is measured on MonotonicMs().
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

namespace tarvik::platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds on a clock that never goes back (a tick count).
  virtual std::int64_t MonotonicMs() = 0;
  // Wall-clock time (UTC).
  virtual std::chrono::system_clock::time_point Now() = 0;
};

// The clock in use on this process; the system clock unless a test installed another.
Clock& CurrentClock();
// Installs `clock` (nullptr restores the system clock). For tests.
void SetClockForTesting(std::shared_ptr<Clock> clock);

// A clock that moves only when told to. For tests.
class ManualClock : public Clock {
 public:
  std::int64_t MonotonicMs() override { return ms_; }
  std::chrono::system_clock::time_point Now() override {
    return start_ + std::chrono::milliseconds(ms_);
  }
  void Advance(std::int64_t ms) { ms_ += ms; }

 private:
  std::int64_t ms_ = 1'000'000;  // arbitrary, far from zero so that "0 = never" stays distinct
  std::chrono::system_clock::time_point start_ = std::chrono::system_clock::now();
};

// GetTickCount: milliseconds of the current clock, wrapped to 32 bits like the Win32 call.
std::uint32_t GetTickCount();

}  // namespace tarvik::platform
