// Dates: the Unix date column around the turn of the year, the MLSD time fact, the composer.
#include "listing_test_support.h"

#include "ftp/listing/listing_dates.h"

namespace tarvik::test {
namespace {

using platform::SystemTime;

SystemTime Local(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  SystemTime time;
  time.year = year;
  time.month = month;
  time.day = day;
  time.hour = hour;
  time.minute = minute;
  time.second = second;
  return time;
}

// A time-form date takes the year that does not put it (more than two days) in the future.
TEST(UnixDateColumn, TimeFormTakesTheYearThatIsNotInTheFuture) {
  const SystemTime new_year = Local(2026, 1, 1, 0, 30);
  const struct {
    const char* column;
    SystemTime expected;
  } cases[] = {
      {"Dec 31 23:59", Local(2025, 12, 31, 23, 59)},  // listed on 1 January: last year
      {"Jan 01 00:10", Local(2026, 1, 1, 0, 10)},     // earlier today
      {"Jan 01 23:00", Local(2026, 1, 1, 23, 0)},     // later today: a server clock ahead
      {"Jan 03 10:00", Local(2026, 1, 3, 10, 0)},     // two days ahead: still this year
      {"Jan 04 10:00", Local(2025, 1, 4, 10, 0)},     // beyond that: last year
      {"Jul 15 08:00", Local(2025, 7, 15, 8, 0)},
  };
  for (const auto& c : cases) {
    const auto date = ReadUnixDateColumn(c.column, new_year);
    ASSERT_TRUE(date.has_value()) << c.column;
    EXPECT_EQ(*date, c.expected) << c.column;
  }
}

TEST(UnixDateColumn, TimeFormInMidYearKeepsTheCurrentYear) {
  const auto date = ReadUnixDateColumn("Jun 10 14:05", Local(2026, 6, 20, 9));
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(*date, Local(2026, 6, 10, 14, 5));
}

TEST(UnixDateColumn, LeapDayOfLastYearListedOnNewYear) {
  // 29 February does not exist in 2025; listed on 1 January 2025 it is 2024's.
  const auto date = ReadUnixDateColumn("Feb 29 12:00", Local(2025, 1, 1, 9));
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(*date, Local(2024, 2, 29, 12, 0));
}

TEST(UnixDateColumn, YearFormIsMidnight) {
  const auto date = ReadUnixDateColumn("Jan  5  2019", Local(2026, 3, 15));
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(*date, Local(2019, 1, 5));
}

TEST(UnixDateColumn, UnreadableColumnsGiveNothing) {
  for (const char* column : {"Jan xx 12:30", "Feb 30 12:30", "Jan 05 25:61", "Jan 00 12:30",
                             "Foo 05 12:30", "Jan 05 2x19", "Jan", ""}) {
    EXPECT_FALSE(ReadUnixDateColumn(column, Local(2026, 3, 15)).has_value()) << column;
  }
}

TEST_F(ListingTest, ListedOnNewYearsDayTheLastMinuteOfTheYearIsLastYears) {
  ListingEnvironment::PinUtc(2026, 1, 1, 0, 30);
  const auto files = Parse("-rw-r--r-- 1 u g 10 Dec 31 23:59 x\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 1u);
  EXPECT_EQ(files->ItemAt(1)->StoredLastWriteTime(), "12/31/2025 11:59:00 PM");
  EXPECT_EQ(files->ItemAt(1)->LastWriteTime(), "12/31/2025 11:59 PM");
}

TEST_F(ListingTest, GetDateXReportsAndGivesTheZeroDate) {
  const SystemTime date = GetDateX("Jan 99 12:30", Local(2026, 3, 15), diagnostics_);
  EXPECT_EQ(date, SystemTime{});
  ASSERT_EQ(diagnostics_.reports.size(), 1u);
  EXPECT_EQ(diagnostics_.reports[0].procedure, "GetDateX");
}

TEST_F(ListingTest, MlsdTimeIsUtcShownAsLocalTime) {
  ListingEnvironment::SetTimeZone("JST-9");
  const auto time = GetMLSDFileTime(" 20190105123045.123 ");
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(*time, Local(2019, 1, 5, 21, 30, 45));
}

TEST(MlsdTime, LongerValuesAreCutToFourteenCharacters) {
  // "20190105123045999" keeps "20190105123045"; the extra digits are dropped.
  const ListingEnvironment environment;
  const auto time = GetMLSDFileTime("20190105123045999");
  ASSERT_TRUE(time.has_value());
  EXPECT_EQ(*time, Local(2019, 1, 5, 12, 30, 45));
}

TEST(MlsdTime, WrongLengthsAndBadFieldsGiveNothing) {
  const ListingEnvironment environment;
  for (const char* value : {"", "2019", "2019010512304", "201901051230xx", "20191305123045",
                            "20190105253045", ".20190105123045", "abcdefghijklmn"}) {
    EXPECT_FALSE(GetMLSDFileTime(value).has_value()) << value;
  }
}

TEST(LocalDateComposer, BuildsDatesFromNumbers) {
  EXPECT_EQ(ComposeLocalDate("2019", "01", "5"), Local(2019, 1, 5));
  EXPECT_EQ(ComposeLocalDate(" 2024", "2", "29 "), Local(2024, 2, 29));
  EXPECT_FALSE(ComposeLocalDate("2023", "2", "29").has_value());
  EXPECT_FALSE(ComposeLocalDate("2019", "13", "1").has_value());
  EXPECT_FALSE(ComposeLocalDate("2019", "0", "1").has_value());
  EXPECT_FALSE(ComposeLocalDate("20x9", "1", "1").has_value());
  EXPECT_FALSE(ComposeLocalDate("", "1", "1").has_value());
  EXPECT_FALSE(ComposeLocalDate("-5", "1", "1").has_value());
}

}  // namespace
}  // namespace tarvik::test
