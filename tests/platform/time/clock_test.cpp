#include "platform/time/clock.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

TEST(ClockTest, ManualClockDrivesTickCountAndNow) {
  auto manual = std::make_shared<ManualClock>();
  SetClockForTesting(manual);
  const std::uint32_t ticks = GetTickCount();
  const auto now = CurrentClock().Now();
  manual->Advance(1500);
  EXPECT_EQ(GetTickCount() - ticks, 1500u);
  EXPECT_EQ(CurrentClock().Now() - now, std::chrono::milliseconds(1500));
  SetClockForTesting(nullptr);
}

TEST(ClockTest, SystemClockNeverGoesBack) {
  SetClockForTesting(nullptr);
  const std::int64_t first = CurrentClock().MonotonicMs();
  EXPECT_GE(CurrentClock().MonotonicMs(), first);
}

TEST(ClockTest, TickCountWrapsLikeA32BitCounter) {
  class FarClock : public Clock {
   public:
    std::int64_t MonotonicMs() override { return (std::int64_t{1} << 32) + 7; }
    std::chrono::system_clock::time_point Now() override { return {}; }
  };
  SetClockForTesting(std::make_shared<FarClock>());
  EXPECT_EQ(GetTickCount(), 7u);
  SetClockForTesting(nullptr);
}

}  // namespace
}  // namespace tarvik::platform
