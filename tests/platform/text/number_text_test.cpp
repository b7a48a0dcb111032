#include "platform/text/number_text.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

TEST(NumberTextTest, WholeNumbersBelowTheExponentLimitArePlainDigits) {
  EXPECT_EQ(DoubleToText(0), "0");
  EXPECT_EQ(DoubleToText(-0.0), "0");
  EXPECT_EQ(DoubleToText(-1), "-1");
  EXPECT_EQ(DoubleToText(3'000'000), "3000000");
  EXPECT_EQ(DoubleToText(4'294'967'296.0), "4294967296");
  EXPECT_EQ(DoubleToText(999'999'999'999'999.0), "999999999999999");
}

TEST(NumberTextTest, FractionsAndHugeOrTinyNumbersKeepFifteenDigits) {
  EXPECT_EQ(DoubleToText(0.1), "0.1");
  EXPECT_EQ(DoubleToText(1234567.5), "1234567.5");
  EXPECT_EQ(DoubleToText(1.0 / 3), "0.333333333333333");
  EXPECT_EQ(DoubleToText(1e15), "1E+15");
  EXPECT_EQ(DoubleToText(1.5e-7), "1.5E-07");
}

}  // namespace
}  // namespace tarvik::platform
