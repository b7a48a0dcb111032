#include <string>
#include <thread>
#include <vector>

#include "core/errors/message_table.h"
#include "tests/core/errors/errors_fixture.h"

namespace tarvik {
namespace {

std::vector<std::string> SplitOnBar(const std::string& text) {
  std::vector<std::string> parts(1);
  for (char c : text) {
    if (c == '|') {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

// 51 texts "host0" .. "host50" joined with "|".
std::string HostTexts(int count) {
  std::string joined;
  for (int i = 0; i < count; ++i) joined += (i ? "|host" : "host") + std::to_string(i);
  return joined;
}

using MessageTableTest = ErrorsTest;

TEST_F(MessageTableTest, ColumnsHoldTheirLanguages) {
  struct Cell {
    int column;
    int row;
    const char* text;
  };
  const Cell cells[] = {
      {0, 0, "Hostname Required"},
      {1, 0, "主机地址为空"},
      {2, 0, "主機地址為空"},
      {0, 8, "Can't find the file[ {0} ]"},
      {0, 20, "Operation timed out"},
      {0, 33, ""},
      {1, 33, ""},
      {2, 33, "主機未找到"},
      {0, 42, "Retransfer,please wait ... "},
      {2, 50, "數據 Socket 錯誤：連接失敗"},
      {3, 0, ""},
      {3, 50, ""},
  };
  for (const Cell& cell : cells) {
    SelectMessageColumn(cell.column);
    EXPECT_EQ(MessageText(cell.row), cell.text) << cell.column << "/" << cell.row;
  }
}

TEST_F(MessageTableTest, RowTwentyTwoKeepsBackslashNPairs) {
  const std::string text = MessageText(message_row::kReplaceQuestion);
  EXPECT_EQ(text.find('\n'), std::string::npos);
  EXPECT_EQ(text,
            "This folder already contains a file named '{0}'.\\nWould you like to replace the "
            "existing file\\n {1} Bytes , {2}\\nwith this one?\\n{3} Bytes , {4}\\n");
}

TEST_F(MessageTableTest, RowsAndColumnsOutsideTheTable) {
  EXPECT_EQ(MessageText(-1), "");
  EXPECT_EQ(MessageText(kMessageRowCount), "");
  for (int column : {-1, 4, 99}) {
    SelectMessageColumn(column);
    EXPECT_EQ(SelectedMessageColumn(), 0) << column;
    EXPECT_EQ(MessageText(2), "Login failed") << column;
  }
}

TEST_F(MessageTableTest, LangInfoReadsTheSelectedColumn) {
  std::vector<std::string> parts = SplitOnBar(GetLangInfo());
  ASSERT_EQ(parts.size(), 51u);
  EXPECT_EQ(parts[0], "Hostname Required");
  EXPECT_EQ(parts[33], "");
  EXPECT_EQ(parts[50], "Data Socket Error: Connection failed");
  SelectMessageColumn(1);
  parts = SplitOnBar(GetLangInfo());
  ASSERT_EQ(parts.size(), 51u);
  EXPECT_EQ(parts[7], "操作已被取消");
}

TEST_F(MessageTableTest, LangInfoWithFiftyOnePartsReplacesEnglishAndSelectsIt) {
  SelectMessageColumn(2);
  ASSERT_TRUE(LetLangInfo(HostTexts(51)));
  EXPECT_EQ(SelectedMessageColumn(), 0);
  EXPECT_EQ(MessageText(0), "host0");
  EXPECT_EQ(MessageText(50), "host50");
  EXPECT_EQ(GetLangInfo(), HostTexts(51));
  EXPECT_TRUE(BoxTexts().empty());
  SelectMessageColumn(1);
  EXPECT_EQ(MessageText(0), "主机地址为空");  // other columns untouched
  LoadMessageTexts();
  EXPECT_EQ(MessageText(0), "Hostname Required");
}

TEST_F(MessageTableTest, LangInfoWithAnyOtherCountChangesNothing) {
  const std::string before = GetLangInfo();
  for (int count : {50, 52, 1}) {
    EXPECT_FALSE(LetLangInfo(HostTexts(count))) << count;
    EXPECT_EQ(GetLangInfo(), before) << count;
  }
  EXPECT_TRUE(LetLangInfo(""));  // empty: nothing to do, no box
  EXPECT_EQ(GetLangInfo(), before);
  const std::string refusal = "Invalid value for 'Text' Property";
  EXPECT_EQ(BoxTexts(), (std::vector<std::string>{refusal, refusal, refusal}));
}

TEST_F(MessageTableTest, EachThreadHasItsOwnTable) {
  ASSERT_TRUE(LetLangInfo(HostTexts(51)));
  std::string other;
  std::thread([&other] { other = MessageText(0); }).join();
  EXPECT_EQ(other, "Hostname Required");
  EXPECT_EQ(MessageText(0), "host0");
}

}  // namespace
}  // namespace tarvik
