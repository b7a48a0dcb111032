#include "platform/text/code_page.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>
#include <string>

namespace tarvik::platform {
namespace {

class CodePageTest : public ::testing::Test {
 protected:
  void SetUp() override { unsetenv("TARVIK_ACP"); }
  void TearDown() override {
    unsetenv("TARVIK_ACP");
    unsetenv("LC_ALL");
    unsetenv("LOCPATH");
    SetAnsiCodePage(0);
  }
};

// The system code page of the locale LC_ALL names.
unsigned CodePageInLocale(const char* locale) {
  setenv("LC_ALL", locale, 1);
  SetAnsiCodePage(0);
  return AnsiCodePage();
}

TEST_F(CodePageTest, TarvikAcpOverridesTheLocale) {
  setenv("LC_ALL", "C", 1);
  setenv("TARVIK_ACP", "936", 1);
  SetAnsiCodePage(0);
  EXPECT_EQ(AnsiCodePage(), 936u);
  for (const char* bad : {"abc", "", "99999999", "12345", "936x"}) {
    setenv("TARVIK_ACP", bad, 1);
    SetAnsiCodePage(0);
    EXPECT_EQ(AnsiCodePage(), 65001u) << bad;
  }
}

TEST_F(CodePageTest, UnicodeAndPlainLocalesGiveUtf8) {
  for (const char* locale : {"C.UTF-8", "C", "POSIX", "xx_NOT.INSTALLED"}) {
    EXPECT_EQ(CodePageInLocale(locale), 65001u) << locale;
  }
}

// Legacy locales are compiled into a private folder (LOCPATH) from the system's locale sources.
TEST_F(CodePageTest, LegacyLocaleGivesItsOwnCodePage) {
  const std::string folder = ::testing::TempDir() + "tarvik_locales";
  const std::string make = "mkdir -p " + folder + " && localedef -i en_US -f ISO-8859-1 " + folder +
                           "/en_US.ISO-8859-1 && localedef -i zh_CN -f GBK " + folder +
                           "/zh_CN.GBK && localedef -i ru_RU -f ISO-8859-5 " + folder +
                           "/ru_RU.ISO-8859-5";
  if (std::system((make + " 2>/dev/null").c_str()) != 0) {
    GTEST_SKIP() << "localedef or the locale sources are missing";
  }
  // The C library keeps a little of each locale lookup under LOCPATH for good; the lookups run
  // in a child so that the leak check of the sanitizer build sees only this project's memory.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    setenv("LOCPATH", folder.c_str(), 1);
    const bool right = CodePageInLocale("en_US.ISO-8859-1") == 1252u &&
                       CodePageInLocale("zh_CN.GBK") == 936u &&
                       CodePageInLocale("ru_RU.ISO-8859-5") == 28595u &&
                       MultiByteToUtf8("\xE4", kCodePageAnsi) == std::optional<std::string>("ф");
    _exit(right ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "a legacy locale gave the wrong code page or conversion";
}

TEST_F(CodePageTest, SetAnsiCodePageRefusesUnknownPages) {
  EXPECT_TRUE(SetAnsiCodePage(65001));
  EXPECT_EQ(AnsiCodePage(), 65001u);
  EXPECT_FALSE(SetAnsiCodePage(12345));
  EXPECT_EQ(AnsiCodePage(), 65001u);
  EXPECT_FALSE(MultiByteToUtf8("x", 12345));
  EXPECT_FALSE(Utf8ToMultiByte("x", 12345));
}

TEST_F(CodePageTest, ConvertsWesternEuropeanText) {
  ASSERT_TRUE(SetAnsiCodePage(1252));
  EXPECT_EQ(AnsiToUtf8("caf\xE9 \x80 \x93x\x94"), "café € “x”");
  EXPECT_EQ(Utf8ToAnsi("café € “x”"), "caf\xE9 \x80 \x93x\x94");
  EXPECT_EQ(AnsiToUtf8(""), "");
}

TEST_F(CodePageTest, ConvertsSimplifiedChinese) {
  ASSERT_TRUE(SetAnsiCodePage(936));
  EXPECT_EQ(AnsiToUtf8("\xD6\xD0\xCE\xC4.txt"), "中文.txt");
  EXPECT_EQ(Utf8ToAnsi("中文.txt"), "\xD6\xD0\xCE\xC4.txt");
}

TEST_F(CodePageTest, EveryByteSurvivesTheRoundTripIn1252) {
  std::string all;
  for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
  const std::string text = *MultiByteToUtf8(all, 1252);
  EXPECT_TRUE(IsValidUtf8(text));
  EXPECT_EQ(*Utf8ToMultiByte(text, 1252), all);
}

TEST_F(CodePageTest, InvalidBytesDecodeToReplacementCharacters) {
  // a GBK lead byte without its trail byte, then at the very end
  EXPECT_EQ(*MultiByteToUtf8("a\x81 z\xD6", 936), "a\xEF\xBF\xBD z\xEF\xBF\xBD");
  EXPECT_EQ(*MultiByteToUtf8("ok\xFF\xC0\xAF", 65001), "ok\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST_F(CodePageTest, UnmappableCharactersEncodeAsQuestionMarks) {
  EXPECT_EQ(*Utf8ToMultiByte("中a€", 1252), "?a\x80");
  EXPECT_EQ(*Utf8ToMultiByte("x\xFFy\xE4\xB8", 1252), "x?y??");
  EXPECT_EQ(*Utf8ToMultiByte("x\xFFy", 65001), "x?y");
  EXPECT_EQ(*Utf8ToMultiByte("é", 936), "\xA8\xA6");  // GBK has it
  EXPECT_EQ(*Utf8ToMultiByte("\xF0\x9F\x98\x80", 936), "?");
}

TEST_F(CodePageTest, LongInputCrossesConverterBuffers) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "中";
  const std::string gbk = *Utf8ToMultiByte(text, 936);
  EXPECT_EQ(gbk.size(), 10000u);
  EXPECT_EQ(*MultiByteToUtf8(gbk, 936), text);
}

TEST(Utf8ValidityTest, AcceptsWellFormedAndRejectsMalformed) {
  struct Row {
    std::string text;
    bool valid;
  };
  const Row rows[] = {
      {"", true},
      {"plain", true},
      {"é中\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xC0\xAF", false},          // overlong "/"
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE4\xB8", false},          // truncated
      {"\x80", false},              // lone continuation
      {"a\xFF", false},
  };
  for (const Row& row : rows) EXPECT_EQ(IsValidUtf8(row.text), row.valid) << row.text;
}

}  // namespace
}  // namespace tarvik::platform
