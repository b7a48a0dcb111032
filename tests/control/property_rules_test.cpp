#include "control/property_rules.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(PropertyRulesTest, Port) {
  for (std::int32_t bad : {0, 70000, -5, 65536}) EXPECT_EQ(PortRule(bad), 21) << bad;
  for (std::int32_t good : {1, 21, 2121, 65535}) EXPECT_EQ(PortRule(good), good);
}

TEST(PropertyRulesTest, Timeout) {
  for (std::int16_t bad : {0, 29, 6001, -30}) EXPECT_EQ(TimeoutRule(bad), 30) << bad;
  for (std::int16_t good : {30, 31, 6000}) EXPECT_EQ(TimeoutRule(good), good);
}

TEST(PropertyRulesTest, KeepAliveInterval) {
  EXPECT_EQ(KeepAliveIntervalRule(10), 30);
  EXPECT_EQ(KeepAliveIntervalRule(1), 30);
  EXPECT_EQ(KeepAliveIntervalRule(-1), 0);
  EXPECT_EQ(KeepAliveIntervalRule(0), 0);
  EXPECT_EQ(KeepAliveIntervalRule(5000), 1800);
  EXPECT_EQ(KeepAliveIntervalRule(45), 45);
}

TEST(PropertyRulesTest, KeepAliveCommandAndListCommand) {
  EXPECT_EQ(KeepAliveCommandRule("  noop "), "NOOP");
  EXPECT_EQ(ListCommandRule("mlsd"), "LIST");
  EXPECT_EQ(ListCommandRule(" MLSD "), "MLSD");
  EXPECT_EQ(ListCommandRule("NLST"), "LIST");
}

TEST(PropertyRulesTest, RedoTimesAndBuffers) {
  EXPECT_EQ(RedoTimesRule(1), 2);
  EXPECT_EQ(RedoTimesRule(4), 5);
  EXPECT_EQ(RedoTimesRule(0), 0);
  EXPECT_EQ(RedoTimesRule(-3), 0);
  EXPECT_EQ(SocketBufferRule(0), 32);
  EXPECT_EQ(SocketBufferRule(31), 32);
  EXPECT_EQ(SocketBufferRule(65536), 65536);
}

TEST(PropertyRulesTest, ReplaceCodes) {
  const std::int16_t codes[] = {0, 3, 6, 8, 4};
  for (std::int16_t index = 0; index < 5; ++index) {
    EXPECT_EQ(ReplaceCodeFromIndex(index), codes[index]);
  }
  EXPECT_FALSE(ReplaceCodeFromIndex(5).has_value());
  EXPECT_FALSE(ReplaceCodeFromIndex(-1).has_value());
}

TEST(PropertyRulesTest, FileTypeLists) {
  EXPECT_EQ(FileTypeListRule("*.TXT, *.Doc"), ";txt; doc;");
  EXPECT_EQ(FileTypeListRule("  "), "");
  EXPECT_EQ(FileTypeListRule("zip|rar"), ";zip;rar;");
  EXPECT_EQ(FileTypeListRule(".exe"), ";;exe;");
}

TEST(PropertyRulesTest, Encoding) {
  EXPECT_EQ(EncodingRule(" utf-8 "), EncodingChoice::kUtf8);
  EXPECT_EQ(EncodingRule("UTF8"), EncodingChoice::kUtf8);
  EXPECT_EQ(EncodingRule("auto"), EncodingChoice::kAuto);
  EXPECT_EQ(EncodingRule("GBK"), EncodingChoice::kAnsi);
  EXPECT_EQ(EncodingRule(""), EncodingChoice::kAnsi);
}

}  // namespace
}  // namespace tarvik
