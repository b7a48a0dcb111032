#include "platform/text/case_fold.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

TEST(CaseFoldTest, FoldsLettersBeyondAscii) {
  EXPECT_EQ(FoldCase("ReadMe.TXT"), "readme.txt");
  EXPECT_EQ(FoldCase("ÄÖÜ×Ł"), "äöü×ł");
  EXPECT_EQ(FoldCase("ΑΒΓ ДЖЁ"), "αβγ джё");
  EXPECT_EQ(FoldCase("Ÿ"), "ÿ");
  EXPECT_EQ(FoldCase("中文"), "中文");
}

TEST(CaseFoldTest, MalformedBytesStayAsTheyAre) {
  EXPECT_EQ(FoldCase("bad\xFF"), "bad\xFF");
  EXPECT_EQ(FoldCase("\xC9x"), "\xC9x");  // a lead byte without its continuation is not "É"
  EXPECT_FALSE(EqualsIgnoreCase("\xE9", "é"));
  EXPECT_TRUE(EqualsIgnoreCase("a\xFF", "A\xFF"));
}

TEST(CaseFoldTest, ComparesWithoutRegardToCase) {
  EXPECT_TRUE(EqualsIgnoreCase("README", "readme"));
  EXPECT_TRUE(EqualsIgnoreCase("Straße.TXT", "STRAßE.txt"));
  EXPECT_TRUE(EqualsIgnoreCase("ÉTÉ", "été"));
  EXPECT_FALSE(EqualsIgnoreCase("a.txt", "a.txt2"));
  EXPECT_EQ(CompareIgnoreCase("apple", "BANANA"), -1);
  EXPECT_EQ(CompareIgnoreCase("Banana", "apple"), 1);
  EXPECT_EQ(CompareIgnoreCase("abc", "ABC"), 0);
  EXPECT_EQ(CompareIgnoreCase("ab", "ABC"), -1);
  EXPECT_EQ(CompareIgnoreCase("", ""), 0);
  EXPECT_EQ(CompareIgnoreCase("z", "é"), -1);  // by code point
}

}  // namespace
}  // namespace tarvik::platform
