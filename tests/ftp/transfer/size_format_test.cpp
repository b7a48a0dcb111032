#include "ftp/transfer/size_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/text/digit_grouping.h"

namespace tarvik::ftp {
namespace {

TEST(SizeFormatTest, FormatSizePicksTheUnitAndRoundsTwice) {
  struct Row {
    double size;
    const char* text;
  };
  const Row rows[] = {
      {0, "0 Bytes"},
      {500, "500 Bytes"},
      {1023, "1023 Bytes"},
      {1023.5, "1023.5 Bytes"},
      {1024, "1 KB"},
      {1536, "2 KB"},        // 1.5: half away from zero
      {1535, "2 KB"},        // 1.499 is 1.50 at two decimals first
      {1525, "1 KB"},        // 1.489 stays below the half
      {1048575, "1024 KB"},  // just below a megabyte
      {1048576, "1 MB"},
      {1572864, "1.5 MB"},
      {2097152, "2 MB"},
      {1101005, "1.1 MB"},      // 1.05 at one decimal, half away from zero
      {1048575999, "1000 MB"},  // just below the gigabyte of 1000 MB
      {1048576000, "1 GB"},
      {2147483648.0, "2.05 GB"},
      {1572864000, "1.5 GB"},
      {9007199254740992.0, "8589934.59 GB"},  // 2^53
      {1e20, "95367431640.63 GB"},
      {1e25, "9536743164062500 GB"},  // hundredths beyond a double: written whole
      {-5, "-5 Bytes"},               // negative sizes are plain numbers
      {-2048, "-2048 Bytes"},
      {std::numeric_limits<double>::infinity(), "INF Bytes"},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatSize(row.size), row.text) << row.size;
}

TEST(SizeFormatTest, FormatSizeOfTheLargestDoubleIsAWholeNumberOfGigabytes) {
  const std::string text = FormatSize(std::numeric_limits<double>::max());
  ASSERT_GT(text.size(), 300u);
  EXPECT_EQ(text.substr(text.size() - 3), " GB");
  EXPECT_EQ(text.find_first_not_of("0123456789"), text.size() - 3);
}

TEST(SizeFormatTest, TimesKeepTwoDigitsAndDropZeroHours) {
  struct Row {
    std::int32_t seconds;
    const char* text;
  };
  const Row rows[] = {
      {0, "00:00"},       {59, "00:59"},
      {60, "01:00"},      {330, "05:30"},
      {3599, "59:59"},    {3600, "01:00:00"},
      {3930, "01:05:30"}, {360000, "100:00:00"},
      {-5, "00:00"},      {std::numeric_limits<std::int32_t>::max(), "596523:14:07"},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatTime(row.seconds), row.text) << row.seconds;
}

TEST(SizeFormatTest, ValueToTimeRoundsFractionsAndRefusesNonPositiveValues) {
  struct Row {
    double seconds;
    const char* text;
  };
  const Row rows[] = {
      {0, "00:00:00"},
      {-1, "00:00:00"},
      {std::nan(""), "00:00:00"},
      {std::numeric_limits<double>::infinity(), "00:00:00"},
      {0.4, "00:00:00"},
      {2.5, "00:00:02"},  // ties to even
      {3.5, "00:00:04"},
      {1e15, "277777777777:46:40"},
  };
  for (const Row& row : rows) EXPECT_EQ(ValueToTime(row.seconds), row.text) << row.seconds;
}

class FormatNumberTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::SetDigitGroupSeparator(""); }
};

TEST_F(FormatNumberTest, GroupsThreeDigitsAndLeavesZeroEmpty) {
  platform::SetDigitGroupSeparator(",");
  struct Row {
    double size;
    const char* text;
  };
  const Row rows[] = {
      {0, ""},
      {0.4, ""},
      {0.5, "1"},
      {999, "999"},
      {1000, "1,000"},
      {1234.5, "1,235"},
      {-1234.5, "-1,235"},
      {1572864, "1,572,864"},
      {9007199254740992.0, "9,007,199,254,740,992"},
      {std::numeric_limits<double>::infinity(), ""},
  };
  for (const Row& row : rows) EXPECT_EQ(FormatNumber(row.size), row.text) << row.size;
}

TEST_F(FormatNumberTest, UsesTheUserSeparatorAndACommaWhenTheLocaleHasNone) {
  platform::SetDigitGroupSeparator(".");
  EXPECT_EQ(FormatNumber(1572864), "1.572.864");
  platform::SetDigitGroupSeparator("\u202f");  // a separator of more than one byte
  EXPECT_EQ(FormatNumber(1234567), "1\u202f234\u202f567");

  const char* saved = std::getenv("LC_ALL");
  const std::string saved_value = saved ? saved : "";
  setenv("LC_ALL", "C", 1);
  platform::SetDigitGroupSeparator("");  // read the locale again: C sets no separator
  EXPECT_EQ(FormatNumber(1234567), "1,234,567");
  if (saved)
    setenv("LC_ALL", saved_value.c_str(), 1);
  else
    unsetenv("LC_ALL");
}

}  // namespace
}  // namespace tarvik::ftp
