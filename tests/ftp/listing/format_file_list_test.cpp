// Whole listings: what is skipped, what fails the parse, paths of the entries, the log.
#include "listing_test_support.h"

namespace tarvik::test {
namespace {

constexpr const char* kFileLine = "-rw-r--r-- 1 u g 10 Jan 05 12:30 file.txt";

TEST_F(ListingTest, EmptyOrBlankListingGivesNone) {
  EXPECT_EQ(Parse(""), nullptr);
  EXPECT_EQ(Parse("     "), nullptr);
  EXPECT_TRUE(diagnostics_.log.empty());
}

TEST_F(ListingTest, ListingOfSkippedLinesGivesEmptyCollection) {
  const auto files = Parse("\r\n\r\nshort\r\n250 Transfer complete\r\n");
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(files->Size(), 0u);
  EXPECT_EQ(files->Count(), 0);
}

TEST_F(ListingTest, TotalLineIsDroppedWhateverFollowsIt) {
  const auto files = Parse("TOTAL 1 Jan 05 12:30 looks like an entry but is the header\r\n" +
                           std::string(kFileLine) + "\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 1u);
  EXPECT_EQ(files->ItemAt(1)->FileName(), "file.txt");
}

TEST_F(ListingTest, SkippedLinesAreLoggedWithoutTheirCarriageReturn) {
  const auto files = Parse(std::string(kFileLine) + "\r\n250 Transfer complete\r\nshort\r\n\r\n");
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(files->Size(), 1u);
  EXPECT_EQ(diagnostics_.log,
            (std::vector<std::string>{"FormatFileList:EXIT[250 Transfer complete]",
                                      "FormatFileList:EXIT[short]"}));
}

TEST_F(ListingTest, LinesEndingInLfAloneOrWithStrayCarriageReturns) {
  const auto files = Parse(
      "-rw-r--r-- 1 u g 1 Jan 05 12:30 a\n"
      "-rw-r--r-- 1 u g 2 Jan 05 12:30 b\r\r\n"
      "-rw-r--r-- 1 u g 3 Jan 05 1\r2:30 c");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 3u);
  EXPECT_EQ(files->ItemAt(1)->FileName(), "a");
  EXPECT_EQ(files->ItemAt(2)->FileName(), "b");
  EXPECT_EQ(files->ItemAt(3)->FileName(), "c");
  EXPECT_EQ(files->ItemAt(3)->FileSize(), 3);
}

TEST_F(ListingTest, FormatsMayBeMixedAndOrderIsKept) {
  const auto files = Parse(
      "01-05-19  12:30PM  5 dos\r\n"
      "type=file;size=6;modify=20190105123045; facts\r\n" +
      std::string(kFileLine) + "\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 3u);
  EXPECT_EQ(files->ItemAt(1)->FileName(), "dos");
  EXPECT_EQ(files->ItemAt(2)->FileName(), "facts");
  EXPECT_EQ(files->ItemAt(3)->FileName(), "file.txt");
}

TEST_F(ListingTest, FilePathJoinsTheNormalisedBaseFolder) {
  const struct {
    const char* base;
    const char* path;
  } cases[] = {
      {"/pub", "/pub/file.txt"}, {"/pub/", "/pub/file.txt"},        {"", "/file.txt"},
      {"/", "/file.txt"},        {" \\a\\\\b\\ ", "/a/b/file.txt"}, {"//x//y", "/x/y/file.txt"}};
  for (const auto& c : cases) {
    const auto files = Parse(kFileLine, c.base);
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->Size(), 1u);
    EXPECT_EQ(files->ItemAt(1)->FilePath(), c.path) << "base [" << c.base << "]";
  }
}

// A line no format reads is logged and costs only itself, in every format.
TEST_F(ListingTest, AnUnreadableLineAmongAThousandCostsOnlyThatLine) {
  std::string good;
  for (int i = 0; i < 500; ++i)
    good += "-rw-r--r-- 1 u g 10 Jan 05 12:30 f" + std::to_string(i) + "\r\n";
  for (const char* bad :
       {"-rw-r--r-- 1 u g 1x0 Jan 05 12:30 bad", "type=file;size=twelve;modify=20190105123045; bad",
        "abcdefghij 5 Jan 05 12:30 name", "zrw-r--r-- 1 u g 1 Jan 05 12:30 bad",
        "-rw-r--r-- 1user g 1 Jan 05 12:30 bad", "01-05-19  12:30PM  -5 bad"}) {
    diagnostics_.log.clear();
    const auto files = Parse(good + bad + "\r\n" + good);
    ASSERT_NE(files, nullptr) << bad;
    EXPECT_EQ(files->Size(), 1000u) << bad;
    ASSERT_EQ(diagnostics_.log.size(), 1u) << bad;
    EXPECT_NE(diagnostics_.log[0].find(std::string("\r\n") + bad), std::string::npos);
  }
}

TEST_F(ListingTest, OneListingLogsAtMostAHundredMessages) {
  std::string listing;
  for (int i = 0; i < 500; ++i) listing += "short\r\n";
  const auto files = Parse(listing);
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(diagnostics_.log.size(), kMaxListingLogLines + 1);
  EXPECT_EQ(diagnostics_.log.back(), "FormatFileList:400 more messages of this listing not logged");
  // The next listing starts a fresh count.
  diagnostics_.log.clear();
  Parse("short\r\n");
  EXPECT_EQ(diagnostics_.log.size(), 1u);
}

TEST_F(ListingTest, UnreadableLineIsLoggedInPartWhenHuge) {
  const std::string line = "-rw-r--r-- 1 u g 1x0 Jan 05 12:30 " + std::string(1 << 20, 'z');
  EXPECT_EQ(Parse(line), nullptr);  // its only line is unreadable
  ASSERT_EQ(diagnostics_.log.size(), 1u);
  EXPECT_LT(diagnostics_.log[0].size(), 1300u);
  EXPECT_NE(diagnostics_.log[0].find("more bytes)"), std::string::npos);
}

}  // namespace
}  // namespace tarvik::test
