#include "core/transfer/size_format.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "platform/text/digit_grouping.h"

namespace tarvik {
namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(SizeFormatTest, SizesRoundToTwoDecimalsThenToTheUnitsPattern) {
  const std::pair<double, const char*> rows[] = {
      {0, "0 Bytes"},
      {1023, "1023 Bytes"},
      {1023.5, "1023.5 Bytes"},
      {1024, "1 KB"},
      {1536, "2 KB"},  // half away from zero
      {1535, "2 KB"},  // 1.499 is 1.50 at two decimals first
      {1525, "1 KB"},
      {1048575, "1024 KB"},
      {1048576, "1 MB"},
      {1572864, "1.5 MB"},
      {2097152, "2 MB"},
      {1101005, "1.1 MB"},
      {1048575999, "1000 MB"},
      {1048576000, "1 GB"},
      {2147483648.0, "2.05 GB"},
      {9007199254740992.0, "8589934.59 GB"},  // 2^53
      {1e20, "95367431640.63 GB"},
      {1e25, "9536743164062500 GB"},  // beyond a double's hundredths: whole
      {-2048, "-2048 Bytes"},         // negative: the plain number
      {kInfinity, "INF Bytes"},
  };
  for (const auto& [size, text] : rows) EXPECT_EQ(FormatSize(size), text) << size;
  const std::string largest = FormatSize(std::numeric_limits<double>::max());
  EXPECT_EQ(largest.find_first_not_of("0123456789"), largest.size() - 3) << largest;
}

TEST(SizeFormatTest, TimesKeepTwoDigitsAndDropZeroHours) {
  const std::pair<std::int32_t, const char*> rows[] = {
      {0, "00:00"},       {59, "00:59"},
      {3599, "59:59"},    {3600, "01:00:00"},
      {3930, "01:05:30"}, {360000, "100:00:00"},
      {-5, "00:00"},      {std::numeric_limits<std::int32_t>::max(), "596523:14:07"},
  };
  for (const auto& [seconds, text] : rows) EXPECT_EQ(FormatTime(seconds), text) << seconds;
  const std::pair<double, const char*> values[] = {
      {std::nan(""), "00:00:00"},
      {kInfinity, "00:00:00"},
      {0.4, "00:00:00"},
      {2.5, "00:00:02"},
      {3.5, "00:00:04"},  // ties to even
      {1e15, "277777777777:46:40"},
  };
  for (const auto& [seconds, text] : values) EXPECT_EQ(ValueToTime(seconds), text) << seconds;
}

TEST(SizeFormatTest, NumbersInDigitGroupsOfTheUserSeparator) {
  platform::SetDigitGroupSeparator(",");
  const std::pair<double, const char*> rows[] = {
      {0, ""},
      {0.4, ""},
      {0.5, "1"},
      {999, "999"},
      {1234.5, "1,235"},
      {-1234.5, "-1,235"},
      {1572864, "1,572,864"},
      {kInfinity, ""},
      {9007199254740992.0, "9,007,199,254,740,992"},
  };
  for (const auto& [size, text] : rows) EXPECT_EQ(FormatNumber(size), text) << size;

  platform::SetDigitGroupSeparator("\u202f");  // more than one byte
  EXPECT_EQ(FormatNumber(1234567), "1\u202f234\u202f567");
  setenv("LC_ALL", "C", 1);
  platform::SetDigitGroupSeparator("");  // the locale again: C has no separator
  EXPECT_EQ(FormatNumber(1234567), "1,234,567");
  unsetenv("LC_ALL");
}

}  // namespace
}  // namespace tarvik
