#include "platform/time/clock.h"

#include <mutex>

namespace tarvik::platform {
namespace {

class SystemClock : public Clock {
 public:
  std::int64_t MonotonicMs() override {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
  }
  std::chrono::system_clock::time_point Now() override { return std::chrono::system_clock::now(); }
};

std::mutex& ClockMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<Clock>& InstalledClock() {
  static std::shared_ptr<Clock> installed;
  return installed;
}

}  // namespace

Clock& CurrentClock() {
  static SystemClock system_clock;
  std::lock_guard lock(ClockMutex());
  Clock* installed = InstalledClock().get();
  return installed != nullptr ? *installed : system_clock;
}

void SetClockForTesting(std::shared_ptr<Clock> clock) {
  std::lock_guard lock(ClockMutex());
  InstalledClock() = std::move(clock);
}

std::uint32_t GetTickCount() {
  return static_cast<std::uint32_t>(CurrentClock().MonotonicMs());
}

}  // namespace tarvik::platform
