// Code page conversions through the system's MultiByteToWideChar / WideCharToMultiByte.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/text/code_page.h"

namespace tarvik::platform {
namespace {

TEST(SystemCodePageTest, ConvertsBothWaysAndReplacesWhatCannotBeConverted) {
  struct Row {
    unsigned code_page;
    std::string bytes;
    std::string utf8;
  };
  const std::vector<Row> rows = {
      {1252, "caf\xE9 \x80", "café €"},
      {936, "\xC4\xE3\xBA\xC3", "你好"},
      {65001, "ok \xE2\x82\xAC", "ok €"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(MultiByteToUtf8(row.bytes, row.code_page), row.utf8) << row.code_page;
    EXPECT_EQ(Utf8ToMultiByte(row.utf8, row.code_page), row.bytes) << row.code_page;
  }
  EXPECT_EQ(Utf8ToMultiByte("\xE4\xBD\xA0 \xFF", 1252), "? ?");  // missing in 1252; malformed
  EXPECT_EQ(MultiByteToUtf8("a\xFF", 65001), "a\xEF\xBF\xBD");
  EXPECT_FALSE(IsKnownCodePage(12345));
  EXPECT_EQ(MultiByteToUtf8("x", 12345), std::nullopt);
  EXPECT_TRUE(IsKnownCodePage(AnsiCodePage()));
}

}  // namespace
}  // namespace tarvik::platform
