// Local time through the system's time zone.
#include <gtest/gtest.h>

#include <vector>

#include "platform/time/local_time.h"

namespace tarvik::platform {
namespace {

TEST(SystemTimeZoneTest, LocalTimeAndUtcConvertBothWays) {
  const std::vector<SystemTime> dates = {
      {2024, 1, 15, 12, 30, 45, 250}, {2024, 7, 15, 23, 59, 59, 0}, {1999, 12, 31, 0, 0, 0, 0}};
  for (const SystemTime& utc : dates) {
    const auto local = UtcToLocal(utc);
    ASSERT_TRUE(local.has_value());
    EXPECT_TRUE(IsValidSystemTime(*local));
    EXPECT_EQ(LocalToUtc(*local), utc) << utc.year << "-" << utc.month;
    const auto point = FromUtcTime(utc);
    ASSERT_TRUE(point.has_value());
    EXPECT_EQ(ToLocalTime(std::chrono::system_clock::time_point(*point)), *local);
  }
  EXPECT_EQ(LocalToUtc(SystemTime{2024, 2, 30}), std::nullopt);  // no such day
}

}  // namespace
}  // namespace tarvik::platform
