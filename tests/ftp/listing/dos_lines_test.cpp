// DOS/IIS lines, one row per line. "Today" is 15 March 2026, local time is UTC.
//   "01-05-19  12:30PM       <DIR>          name"
//   "01-05-19  12:30PM                 1234 name"
#include "listing_test_support.h"

namespace tarvik::test {
namespace {

class DosLineTest : public LineCaseTest {};

TEST_P(DosLineTest, GivesTheExpectedEntry) {
  CheckRow();
}

// One row per line of the table reads better than one field per line.
// clang-format off
const LineCase kDosLines[] = {
    {.name = "Folder",
     .line = "01-05-19  12:30PM       <DIR>          name",
     .file_name = "name", .is_directory = true, .time = "1/5/2019 12:30:00 PM"},
    {.name = "FileWithBlanksInName",
     .line = "01-05-19  12:30PM                 1234 name with blanks",
     .file_name = "name with blanks", .file_size = 1234, .time = "1/5/2019 12:30:00 PM"},
    {.name = "YearAfterWindowIsLastCentury",
     .line = "01-05-31  09:00AM  100 a b.txt",
     .file_name = "a b.txt", .file_size = 100, .time = "1/5/1931 9:00:00 AM"},
    {.name = "YearAtWindowEndIsThisCentury",
     .line = "01-05-30  09:00AM  100 x",
     .file_name = "x", .file_size = 100, .time = "1/5/2030 9:00:00 AM"},
    {.name = "FourDigitYearAnd24HourClock",
     .line = "01-05-2019  13:30                 1234 name",
     .file_name = "name", .file_size = 1234, .time = "1/5/2019 1:30:00 PM"},
    {.name = "MidnightIsDateAlone",
     .line = "12-31-18  12:00AM  7 y",
     .file_name = "y", .file_size = 7, .time = "12/31/2018"},
    {.name = "LowerCaseDirMark",
     .line = "01-05-19  12:30PM  <dir>  sub",
     .file_name = "sub", .is_directory = true, .time = "1/5/2019 12:30:00 PM"},
    {.name = "SizeAboveFourGigabytes",
     .line = "02-28-20  10:11AM  5000000000 big.iso",
     .file_name = "big.iso", .file_size = 5e9, .time = "2/28/2020 10:11:00 AM"},
    {.name = "NameAfterFirstSizeOccurrence",
     .line = "01-05-19  12:30PM  100 100 x",
     .file_name = "100 x", .file_size = 100, .time = "1/5/2019 12:30:00 PM"},
    {.name = "WordInSizeColumnGivesNoEntry", .line = "01-05-19  12:30PM  abc x", .kept = false},
    {.name = "BackslashNameKeepsLastElement",
     .line = "01-05-19  12:30PM  10 dir\\file",
     .file_name = "file", .file_size = 10, .time = "1/5/2019 12:30:00 PM"},
    {.name = "UnreadableDateIsDropped", .line = "13-45-19  12:30PM  5 x", .kept = false},
    {.name = "UnreadableTimeIsDropped", .line = "01-05-19  25:30PM  5 x", .kept = false},
    {.name = "NoNameAfterSizeIsDropped", .line = "01-05-19  12:30PM  100", .kept = false},
    {.name = "NoNameAfterDirIsDropped", .line = "01-05-19  12:30PM  <DIR>", .kept = false},
    {.name = "ProseIsDropped", .line = "This is not a listing line at all", .kept = false},
    {.name = "IsoDate",
     .line = "2002-09-02  09:15AM                  512 iso.txt",
     .file_name = "iso.txt", .file_size = 512, .time = "9/2/2002 9:15:00 AM"},
    {.name = "FourDigitYearIsReadWhole",
     .line = "06-25-1995  11:04PM                  10 old.txt",
     .file_name = "old.txt", .file_size = 10, .time = "6/25/1995 11:04:00 PM"},
    {.name = "BlankBeforePm",
     .line = "01-05-19  03:09 PM                 1234 x",
     .file_name = "x", .file_size = 1234, .time = "1/5/2019 3:09:00 PM"},
    {.name = "ThousandsSeparators",
     .line = "01-05-19  12:30PM        1,234,567 big.bin",
     .file_name = "big.bin", .file_size = 1234567, .time = "1/5/2019 12:30:00 PM"},
    {.name = "Junction",
     .line = "01-05-19  12:30PM    <JUNCTION>     Docs -> C:\\Users\\Docs",
     .file_name = "Docs", .time = "1/5/2019 12:30:00 PM", .link_target = "C:\\Users\\Docs"},
    {.name = "LeadingBlankAtStandardColumns",
     .line = "01-05-19  12:30PM                 1234  lead",
     .file_name = " lead", .file_size = 1234, .time = "1/5/2019 12:30:00 PM"},
    {.name = "FolderLeadingBlankAtStandardColumns",
     .line = "01-05-19  12:30PM       <DIR>           lead",
     .file_name = " lead", .is_directory = true, .time = "1/5/2019 12:30:00 PM"},
    {.name = "NarrowColumns",
     .line = "01-05-19 12:30PM <DIR> sub dir",
     .file_name = "sub dir", .is_directory = true, .time = "1/5/2019 12:30:00 PM"},
    {.name = "TrailingBlankAndTabKept",
     .line = "01-05-19  12:30PM                 1234 x \t",
     .file_name = "x \t", .file_size = 1234, .time = "1/5/2019 12:30:00 PM"},
    {.name = "NegativeSizeGivesNoEntry", .line = "01-05-19  12:30PM  -12 x", .kept = false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, DosLineTest, ::testing::ValuesIn(kDosLines), LineCaseName);

TEST_F(ListingTest, DosLineWithBadDateIsLoggedAndOthersKept) {
  const auto files = Parse(
      "01-05-19  12:30PM  5 good\r\n"
      "99-99-99  12:30PM  5 bad\r\n"
      "01-06-19  12:30PM  6 good2\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 2u);
  EXPECT_EQ(files->ItemAt(1)->FileName(), "good");
  EXPECT_EQ(files->ItemAt(2)->FileName(), "good2");
  ASSERT_EQ(diagnostics_.LogLinesStartingWith("FormatFileList:Err(13#"), 1u);
  EXPECT_NE(diagnostics_.log[0].find("\r\n99-99-99  12:30PM  5 bad\r\n-------------------\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace tarvik::test
