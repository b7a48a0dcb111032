#include "platform/time/date_format.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace tarvik::platform {
namespace {

class DateFormatTest : public ::testing::Test {
 protected:
  void SetUp() override { SetDatePatterns("", ""); }
  void TearDown() override { SetDatePatterns("", ""); }
};

TEST_F(DateFormatTest, DefaultsAreTheUsEnglishPatterns) {
  EXPECT_EQ(ShortDatePattern(), "M/d/yyyy");
  EXPECT_EQ(LongTimePattern(), "h:mm:ss tt");
}

TEST_F(DateFormatTest, FormatsEveryField) {
  const SystemTime t{2019, 1, 5, 13, 4, 9, 0};
  struct Row {
    const char* pattern;
    const char* text;
  };
  const Row rows[] = {
      {"M/d/yyyy", "1/5/2019"},
      {"MM/dd/yy", "01/05/19"},
      {"yyyy-MM-dd", "2019-01-05"},
      {"dd.MM.yyyy", "05.01.2019"},
      {"ddd, MMM d", "Sat, Jan 5"},
      {"dddd d MMMM y", "Saturday 5 January 19"},
      {"h:mm:ss tt", "1:04:09 PM"},
      {"hh:mm t", "01:04 P"},
      {"H:m:s", "13:4:9"},
      {"HH:mm:ss", "13:04:09"},
      {"yyyy'年'M'月'd'日'", "2019年1月5日"},
      {"'o''clock' h", "o'clock 1"},
      {"h 'h' mm", "1 h 04"},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatDateTime(t, row.pattern), row.text) << row.pattern;
}

TEST_F(DateFormatTest, TwelveHourClockEdges) {
  EXPECT_EQ(FormatDateTime(SystemTime{2019, 1, 5, 0, 5, 0, 0}, "h:mm tt"), "12:05 AM");
  EXPECT_EQ(FormatDateTime(SystemTime{2019, 1, 5, 12, 5, 0, 0}, "h:mm tt"), "12:05 PM");
  EXPECT_EQ(FormatDateTime(SystemTime{2019, 1, 5, 23, 5, 0, 0}, "h:mm tt"), "11:05 PM");
}

TEST_F(DateFormatTest, GeneralDateLeavesOutMidnightAndTheZeroDate) {
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 12, 30, 45, 0}), "1/5/2019 12:30:45 PM");
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 0, 0, 0, 0}), "1/5/2019");
  EXPECT_EQ(GeneralDateText(SystemTime{1899, 12, 30, 9, 5, 0, 0}), "9:05:00 AM");
  EXPECT_EQ(GeneralDateText(SystemTime{}), "12:00:00 AM");
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 0, 0, 1, 0}), "1/5/2019 12:00:01 AM");
}

TEST_F(DateFormatTest, PatternsCanBeReplaced) {
  SetDatePatterns("yyyy-MM-dd", "HH:mm:ss");
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 12, 30, 45, 0}), "2019-01-05 12:30:45");
  EXPECT_EQ(ShortDatePattern(), "yyyy-MM-dd");
  SetDatePatterns("", "HH:mm");
  EXPECT_EQ(ShortDatePattern(), "M/d/yyyy");
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 7, 3, 0, 0}), "1/5/2019 07:03");
}

TEST_F(DateFormatTest, EnvironmentVariablesSetTheUserPatterns) {
  setenv("TARVIK_SHORT_DATE", "dd/MM/yyyy", 1);
  setenv("TARVIK_LONG_TIME", "HH:mm:ss", 1);
  SetDatePatterns("", "");
  EXPECT_EQ(GeneralDateText(SystemTime{2019, 1, 5, 12, 30, 45, 0}), "05/01/2019 12:30:45");
  unsetenv("TARVIK_SHORT_DATE");
  unsetenv("TARVIK_LONG_TIME");
  SetDatePatterns("", "");
  EXPECT_EQ(ShortDatePattern(), "M/d/yyyy");
}

TEST_F(DateFormatTest, UnterminatedQuoteAndOddInputDoNotBreak) {
  const SystemTime t{2019, 1, 5, 13, 4, 9, 0};
  EXPECT_EQ(FormatDateTime(t, "d 'open"), "5 open");
  EXPECT_EQ(FormatDateTime(t, ""), "");
  EXPECT_EQ(FormatDateTime(SystemTime{2019, 13, 40, 0, 0, 0, 0}, "MMM ddd"), "13 40");
}

}  // namespace
}  // namespace tarvik::platform
