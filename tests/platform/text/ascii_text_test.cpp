#include "platform/text/ascii_text.h"

#include <gtest/gtest.h>

namespace tarvik::platform {
namespace {

struct TrimRow {
  std::string_view text;
  std::string_view set;
  std::string_view leading;
  std::string_view trailing;
  std::string_view both;
};

TEST(AsciiTextTest, TrimsOnlyTheCharactersOfTheSet) {
  const TrimRow rows[] = {
      {"  a b  ", kSpaces, "a b  ", "  a b", "a b"},
      {"\t a \t", kSpaces, "\t a \t", "\t a \t", "\t a \t"},
      {"\t a \t", kSpacesAndTabs, "a \t", "\t a", "a"},
      {" a\r\n", kBlanksAndLineEnds, "a\r\n", " a", "a"},
      {"\v\f a\n", kBlanksAndLineEnds, "\v\f a\n", "\v\f a", "\v\f a"},
      {"\v\f a\n", kWhiteSpace, "a\n", "\v\f a", "a"},
      {"   ", kSpaces, "", "", ""},
      {"", kSpaces, "", "", ""},
      {" \xC2\xA0x\xC2\xA0 ", kWhiteSpace, "\xC2\xA0x\xC2\xA0 ", " \xC2\xA0x\xC2\xA0",
       "\xC2\xA0x\xC2\xA0"},
  };
  for (const TrimRow& row : rows) {
    SCOPED_TRACE(testing::Message() << "\"" << row.text << "\"");
    EXPECT_EQ(TrimLeading(row.text, row.set), row.leading);
    EXPECT_EQ(TrimTrailing(row.text, row.set), row.trailing);
    EXPECT_EQ(Trim(row.text, row.set), row.both);
  }
}

TEST(AsciiTextTest, ChangesTheCaseOfAsciiLettersOnly) {
  EXPECT_EQ(ToLowerAscii("MLSD Type=Dir @[`{"), "mlsd type=dir @[`{");
  EXPECT_EQ(ToUpperAscii("utf8 z@[`{"), "UTF8 Z@[`{");
  EXPECT_EQ(ToLowerAscii("\xC3\x89T\xC3\x89"), "\xC3\x89t\xC3\x89");  // "ÉTÉ": É stays
  EXPECT_EQ(ToUpperAscii("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");
  EXPECT_TRUE(EqualsIgnoreAsciiCase("hkey_Users", "HKEY_USERS"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("HKEY_USER", "HKEY_USERS"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("\xC3\xA9", "\xC3\x89"));
  EXPECT_FALSE(EqualsIgnoreAsciiCase("@", "`"));  // neighbours of the letter ranges
}

}  // namespace
}  // namespace tarvik::platform
