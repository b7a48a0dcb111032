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

class UnixDateTest : public ListingTest {
 protected:
  // The stored time of a Unix line whose date words are `date`, parsed "today" as pinned.
  std::string UnixLineTime(const std::string& date) {
    const auto files = Parse("-rw-r--r-- 1 u g 10 " + date + " x\r\n");
    if (!files || files->Size() != 1) return "(no entry)";
    return files->ItemAt(1)->StoredLastWriteTime();
  }
};

// A date without a year takes the year that does not put it (more than two days) in the future.
TEST_F(UnixDateTest, DateWithoutYearTakesTheYearThatIsNotInTheFuture) {
  ListingEnvironment::PinUtc(2026, 1, 1, 0, 30);
  const struct {
    const char* date;
    const char* expected;
  } cases[] = {
      {"Dec 31 23:59", "12/31/2025 11:59:00 PM"},  // listed on 1 January: last year
      {"Jan 01 00:10", "1/1/2026 12:10:00 AM"},    // earlier today
      {"Jan 01 23:00", "1/1/2026 11:00:00 PM"},    // later today: a server clock ahead
      {"Jan 03 10:00", "1/3/2026 10:00:00 AM"},    // two days ahead: still this year
      {"Jan 04 10:00", "1/4/2025 10:00:00 AM"},    // beyond that: last year
      {"Jul 15 08:00", "7/15/2025 8:00:00 AM"},
  };
  for (const auto& c : cases) EXPECT_EQ(UnixLineTime(c.date), c.expected) << c.date;
}

TEST_F(UnixDateTest, LeapDayOfLastYearListedOnNewYear) {
  // 29 February does not exist in 2025; listed on 1 January 2025 it is 2024's.
  ListingEnvironment::PinUtc(2025, 1, 1, 9, 0);
  EXPECT_EQ(UnixLineTime("Feb 29 12:00"), "2/29/2024 12:00:00 PM");
}

TEST_F(UnixDateTest, ImpossibleDatesGiveNoEntryAndAreReported) {
  for (const char* date : {"Feb 30 12:30", "Apr 31  2019", "Jan 05 30:00", "Jan 05 12:60",
                           "Jan 00 12:30", "Jan 99 12:30", "Jan 05 24:01"}) {
    diagnostics_.reports.clear();
    EXPECT_EQ(UnixLineTime(date), "(no entry)") << date;
    ASSERT_EQ(diagnostics_.reports.size(), 1u) << date;
    EXPECT_EQ(diagnostics_.reports[0].procedure, "GetDateX");
    EXPECT_EQ(diagnostics_.reports[0].number, 13);
    EXPECT_NE(diagnostics_.reports[0].description.find(date), std::string::npos);
  }
}

TEST_F(UnixDateTest, WordsThatAreNoDateGiveNoEntryAndAreLogged) {
  for (const char* date : {"Jan xx 12:30", "Foo 05 12:30", "Jan 05 2x19", "Jan 05 201"}) {
    diagnostics_.log.clear();
    EXPECT_EQ(UnixLineTime(date), "(no entry)") << date;
    EXPECT_EQ(diagnostics_.LogLinesStartingWith("FormatFileList.Error:"), 1u) << date;
  }
}

// Every listing format reads the first and the last year of the date range.
TEST_F(UnixDateTest, EndsOfTheDateRangeInEveryFormat) {
  EXPECT_EQ(UnixLineTime("Jan 01  1000"), "1/1/1000");
  EXPECT_EQ(UnixLineTime("Dec 31  9999"), "12/31/9999");
  const auto files = Parse(
      "01-01-1000  12:00AM  1 dos-first\r\n"
      "12-31-9999  11:59PM  1 dos-last\r\n"
      "type=file;size=1;modify=01000101000000; mlsd-first\r\n"
      "type=file;size=1;modify=99991231235959; mlsd-last\r\n"
      "type=file;size=1;modify=10130601015202; mlsd-1013\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 5u);
  EXPECT_EQ(files->ItemAt(1)->StoredLastWriteTime(), "1/1/1000");
  EXPECT_EQ(files->ItemAt(2)->StoredLastWriteTime(), "12/31/9999 11:59:00 PM");
  EXPECT_EQ(files->ItemAt(3)->StoredLastWriteTime(), "1/1/0100");
  EXPECT_EQ(files->ItemAt(4)->StoredLastWriteTime(), "12/31/9999 11:59:59 PM");
  EXPECT_EQ(files->ItemAt(5)->StoredLastWriteTime(), "6/1/1013 1:52:02 AM");
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
