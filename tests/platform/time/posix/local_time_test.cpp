#include "platform/time/local_time.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

#include "platform/time/clock.h"

namespace tarvik::platform {
namespace {

// Sets TZ for one test and restores the previous value afterwards.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) saved_ = old;
    setenv("TZ", zone, 1);
  }
  ~ScopedTimeZone() {
    if (saved_)
      setenv("TZ", saved_->c_str(), 1);
    else
      unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> saved_;
};

SystemTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  return SystemTime{y, mo, d, h, mi, s, 0};
}

TEST(LocalTimeTest, ValidatesEveryField) {
  EXPECT_TRUE(IsValidSystemTime(At(2024, 2, 29)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 2, 29)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 13, 1)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 4, 31)));
  EXPECT_FALSE(IsValidSystemTime(At(99, 1, 1)));
  EXPECT_FALSE(IsValidSystemTime(At(10000, 1, 1)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 1, 1, 24)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 1, 1, 0, 60)));
  EXPECT_FALSE(IsValidSystemTime(At(2023, 1, 1, 0, 0, -1)));
  EXPECT_TRUE(IsValidSystemTime(SystemTime{}));
  EXPECT_TRUE(IsZeroDate(SystemTime{}));
}

TEST(LocalTimeTest, DayOfWeekStartsOnSunday) {
  EXPECT_EQ(DayOfWeek(At(2019, 1, 5)), 6);  // a Saturday
  EXPECT_EQ(DayOfWeek(At(1899, 12, 30)), 6);
  EXPECT_EQ(DayOfWeek(At(2024, 3, 10)), 0);
}

TEST(LocalTimeTest, UtcToLocalFollowsTheZoneAndDaylightSaving) {
  ScopedTimeZone zone("America/New_York");
  EXPECT_EQ(UtcToLocal(At(2019, 1, 5, 12, 30, 45)), At(2019, 1, 5, 7, 30, 45));  // EST, -5
  EXPECT_EQ(UtcToLocal(At(2019, 7, 5, 12, 30, 45)), At(2019, 7, 5, 8, 30, 45));  // EDT, -4
  EXPECT_EQ(UtcToLocal(At(2019, 1, 1, 2, 0, 0)), At(2018, 12, 31, 21, 0, 0));    // day before
  EXPECT_EQ(LocalToUtc(At(2019, 7, 5, 8, 30, 45)), At(2019, 7, 5, 12, 30, 45));
}

TEST(LocalTimeTest, LocalToUtcAroundDaylightSavingChanges) {
  ScopedTimeZone zone("America/New_York");
  EXPECT_EQ(LocalToUtc(At(2019, 11, 2, 23, 30)), At(2019, 11, 3, 3, 30));  // last evening of EDT
  EXPECT_EQ(LocalToUtc(At(2019, 11, 3, 3, 0)), At(2019, 11, 3, 8, 0));     // EST after the change
  EXPECT_EQ(LocalToUtc(At(2019, 11, 4, 0, 30)), At(2019, 11, 4, 5, 30));
  EXPECT_EQ(LocalToUtc(At(2019, 3, 10, 12, 0)), At(2019, 3, 10, 16, 0));  // day clocks go forward
  EXPECT_EQ(LocalToUtc(At(2019, 3, 12, 12, 0)), At(2019, 3, 12, 16, 0));
  EXPECT_EQ(LocalToUtc(At(2019, 3, 8, 12, 0)), At(2019, 3, 8, 17, 0));
}

TEST(LocalTimeTest, ChangingTzIsSeenAtOnce) {
  {
    ScopedTimeZone zone("UTC");
    EXPECT_EQ(UtcToLocal(At(2019, 1, 5, 12)), At(2019, 1, 5, 12));
  }
  ScopedTimeZone zone("Asia/Shanghai");
  EXPECT_EQ(UtcToLocal(At(2019, 1, 5, 12)), At(2019, 1, 5, 20));
}

TEST(LocalTimeTest, RoundTripsBeforeTheEpoch) {
  ScopedTimeZone zone("Europe/Berlin");
  const SystemTime local = At(1950, 6, 1, 10, 15, 20);
  const auto utc = LocalToUtc(local);
  ASSERT_TRUE(utc);
  EXPECT_EQ(UtcToLocal(*utc), local);
}

TEST(LocalTimeTest, InvalidDatesConvertToNothing) {
  EXPECT_FALSE(UtcToLocal(At(2023, 2, 30)));
  EXPECT_FALSE(LocalToUtc(At(2023, 0, 1)));
  EXPECT_FALSE(FromUtcTime(At(2023, 1, 1, 25)));
}

// The nanosecond clock of the library ends in 1677 and 2262; conversions hold years 100..9999.
TEST(LocalTimeTest, ConvertsEveryYearOfTheDateRange) {
  ScopedTimeZone zone("CET-1");
  for (const SystemTime& utc :
       {At(100, 1, 1, 0, 0, 0), At(1013, 6, 1, 1, 52, 2), At(1677, 9, 21, 0, 12, 44),
        At(2262, 4, 11, 22, 47, 17), At(9999, 12, 31, 22, 59, 59)}) {
    SystemTime local = utc;
    local.hour += 1;
    EXPECT_EQ(UtcToLocal(utc), local) << utc.year;
    EXPECT_EQ(LocalToUtc(local), utc) << utc.year;
  }
}

TEST(LocalTimeTest, LocalNowReadsTheInstalledClock) {
  ScopedTimeZone zone("UTC");
  auto manual = std::make_shared<ManualClock>();
  SetClockForTesting(manual);
  const SystemTime before = LocalNow();
  manual->Advance(24LL * 3600 * 1000);
  const SystemTime after = LocalNow();
  SetClockForTesting(nullptr);
  EXPECT_EQ(ToOleDate(after) - ToOleDate(before), 1.0);
}

TEST(LocalTimeTest, OleDateMatchesTheAutomationValues) {
  struct Row {
    SystemTime time;
    double value;
  };
  const Row rows[] = {
      {At(1899, 12, 30), 0.0},      {At(1900, 1, 1), 2.0},          {At(1899, 12, 30, 6), 0.25},
      {At(1899, 12, 29, 6), -1.25}, {At(2019, 1, 5, 18), 43470.75}, {At(100, 1, 1), -657434.0},
  };
  for (const Row& row : rows) {
    EXPECT_DOUBLE_EQ(ToOleDate(row.time), row.value) << row.value;
    EXPECT_EQ(FromOleDate(row.value), row.time) << row.value;
  }
}

TEST(LocalTimeTest, OleDateRejectsValuesOutsideTheCalendar) {
  EXPECT_FALSE(FromOleDate(1e300));
  EXPECT_FALSE(FromOleDate(-700000.0));
  EXPECT_FALSE(FromOleDate(std::numeric_limits<double>::quiet_NaN()));
  EXPECT_FALSE(FromOleDate(3'000'000.0));  // past year 9999
}

TEST(LocalTimeTest, ParsesTimeTokensOfListings) {
  struct Row {
    const char* text;
    int hour, minute, second;
  };
  const Row rows[] = {
      {"12:30", 12, 30, 0},   {"00:00", 0, 0, 0},     {"9:05:07", 9, 5, 7},
      {"12:30PM", 12, 30, 0}, {"12:30AM", 0, 30, 0},  {"01:15pm", 13, 15, 0},
      {"11:59 p", 23, 59, 0}, {" 7:00 AM ", 7, 0, 0}, {"23:59:59", 23, 59, 59},
  };
  for (const Row& row : rows) {
    const auto parsed = ParseTimeOfDay(row.text);
    ASSERT_TRUE(parsed) << row.text;
    EXPECT_EQ(*parsed, At(1899, 12, 30, row.hour, row.minute, row.second)) << row.text;
  }
}

TEST(LocalTimeTest, RefusesMalformedTimeTokens) {
  for (const char* text : {"", "12", "12:", ":30", "24:00", "12:60", "13:00PM", "0:30AM", "12:30XM",
                           "12:30:", "1230", "12:30:61", "a:b"}) {
    EXPECT_FALSE(ParseTimeOfDay(text)) << text;
  }
}

}  // namespace
}  // namespace tarvik::platform
