// Unix long-listing lines, one row per line. "Today" is 15 March 2026, local time is UTC.
//   "-rw-r--r--   1 owner group  1234 Jan 05 12:30 name"
#include "listing_test_support.h"

#include "platform/text/code_page.h"

namespace tarvik::test {
namespace {

class UnixLineTest : public LineCaseTest {};

TEST_P(UnixLineTest, GivesTheExpectedEntry) {
  CheckRow();
}

// One row per line of the table reads better than one field per line.
// clang-format off
const LineCase kUnixLines[] = {
    {.name = "FileWithTimeOfDay",
     .line = "-rw-r--r--   1 owner group      1234 Jan 05 12:30 name",
     .file_name = "name", .file_size = 1234, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "owner", .group = "group"},
    {.name = "FolderWithYearIsDateAlone",
     .line = "drwxr-xr-x   2 owner group      4096 Jan 05  2019 pub",
     .file_name = "pub", .is_directory = true, .file_size = 4096, .time = "1/5/2019",
     .permissions = "drwxr-xr-x", .owner = "owner", .group = "group"},
    {.name = "PaddedDay",
     .line = "-rw-r--r-- 1 u g 10 Jan  5 09:05 x",
     .file_name = "x", .file_size = 10, .time = "1/5/2026 9:05:00 AM", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "LinkNameStopsBeforeArrow",
     .line = "lrwxrwxrwx 1 u g 7 Jan 05 12:30 link -> target",
     .file_name = "link", .file_size = 7, .time = "1/5/2026 12:30:00 PM",
     .permissions = "lrwxrwxrwx", .owner = "u", .group = "g", .link_target = "target"},
    {.name = "LinkToFolderIsNoFolder",
     .line = "lrwxrwxrwx 1 u g 4 Jan 05 12:30 docs -> /usr/share/doc",
     .file_name = "docs", .file_size = 4, .time = "1/5/2026 12:30:00 PM",
     .permissions = "lrwxrwxrwx", .owner = "u", .group = "g", .link_target = "/usr/share/doc"},
    {.name = "NonLinkKeepsArrowInName",
     .line = "-rw-r--r-- 1 u g 7 Jan 05 12:30 a -> b",
     .file_name = "a -> b", .file_size = 7, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "NoGroupColumn",
     .line = "drwxr-xr-x 2 owner 4096 Jan 05  2019 name",
     .file_name = "name", .is_directory = true, .file_size = 4096, .time = "1/5/2019",
     .permissions = "drwxr-xr-x", .owner = "owner"},
    {.name = "NameKeepsInnerAndTrailingBlanks",
     .line = "-rw-r--r-- 1 u g 3 Mar 01 09:05 two  words ",
     .file_name = "two  words ", .file_size = 3, .time = "3/1/2026 9:05:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "SizeAboveFourGigabytes",
     .line = "-rw-r--r-- 1 u g 5000000000 Feb 28  2020 big.iso",
     .file_name = "big.iso", .file_size = 5e9, .time = "2/28/2020", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "NumericOwnerAndGroup",
     .line = "-rw-r--r-- 1 1000 1000 10 Jan 05 12:30 x",
     .file_name = "x", .file_size = 10, .time = "1/5/2026 12:30:00 PM", .permissions = "-rw-r--r--",
     .owner = "1000", .group = "1000"},
    {.name = "ModeWithAclMark",
     .line = "-rw-r--r--+ 1 u g 10 Jan 05 12:30 x",
     .file_name = "x", .file_size = 10, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--+", .owner = "u", .group = "g"},
    // An owner called like a month must not hide the real date column.
    {.name = "OwnerNamedLikeTheMonth",
     .line = "-rw-r--r-- 1 jan users 5 Jan 05 12:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 12:30:00 PM", .permissions = "-rw-r--r--",
     .owner = "jan", .group = "users"},
    // A name holding an earlier month's date must not be taken for the date column.
    {.name = "NameHoldingAnEarlierMonthDate",
     .line = "-rw-r--r-- 1 u g 100 Mar 01 12:00 Report 2 Jan 12 2019.pdf",
     .file_name = "Report 2 Jan 12 2019.pdf", .file_size = 100, .time = "3/1/2026 12:00:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "UpperCaseMonth",
     .line = "-rw-r--r-- 1 u g 1 JAN 05  2019 x",
     .file_name = "x", .file_size = 1, .time = "1/5/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    // A time-form date ahead of today is last year's.
    {.name = "FutureTimeFormIsLastYear",
     .line = "-rw-r--r-- 1 u g 10 Dec 31 23:59 x",
     .file_name = "x", .file_size = 10, .time = "12/31/2025 11:59:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "BackslashNameKeepsLastElement",
     .line = "-rw-r--r-- 1 u g 10 Jan 05 12:30 dir\\file",
     .file_name = "file", .file_size = 10, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "SlashNameKeepsLastElement",
     .line = "-rw-r--r-- 1 u g 10 Jan 05 12:30 pub/sub/file.txt",
     .file_name = "file.txt", .file_size = 10, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "DotIsDropped", .line = "drwxr-xr-x 2 u g 4096 Jan 05 12:30 .", .kept = false},
    {.name = "DotDotIsDropped", .line = "drwxr-xr-x 2 u g 4096 Jan 05 12:30 ..", .kept = false},
    {.name = "NameEndingInSlashIsDropped",
     .line = "drwxr-xr-x 2 u g 4096 Jan 05 12:30 sub/",
     .kept = false},
    {.name = "NoNameIsDropped", .line = "-rw-r--r-- 1 u g 10 Jan 05 12:30", .kept = false},
    {.name = "UnpaddedDay",
     .line = "-rw-r--r-- 1 u g 10 Jan 5 12:30 x",
     .file_name = "x", .file_size = 10, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    // Names after the date's last word and one blank, whatever the column widths.
    {.name = "SingleBlankBeforeYear",
     .line = "-rw-r--r-- 1 u g 5 Nov 5 2018 omar.txt",
     .file_name = "omar.txt", .file_size = 5, .time = "11/5/2018", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "NameBeginningWithDigitsAndBlank",
     .line = "-rw-r--r-- 1 u g 5 Nov  5  2018  2019 plan",
     .file_name = " 2019 plan", .file_size = 5, .time = "11/5/2018", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "ShortTimeAndUnpaddedHour",
     .line = "-rw-r--r-- 1 u g 5 Mar 25 0:3 x",
     .file_name = "x", .file_size = 5, .time = "3/25/2025 12:03:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "HourTwentyFourIsNextMidnight",
     .line = "-rw-r--r-- 1 u g 5 Mar 01 24:00 x",
     .file_name = "x", .file_size = 5, .time = "3/2/2026", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "IsoDateAndTime",
     .line = "-rw-r--r-- 1 u g 5 2005-04-08 11:22 x",
     .file_name = "x", .file_size = 5, .time = "4/8/2005 11:22:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "FullTimeWithFractionAndZone",
     .line = "-rw-r--r-- 1 u g 5 2019-01-05 12:30:45.123456789 +0100 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2019 12:30:45 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "SlashDate",
     .line = "-rw-r--r-- 1 u g 5 1999/10/12 x",
     .file_name = "x", .file_size = 5, .time = "10/12/1999", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "DayMonthYearDashes",
     .line = "-rw-r--r-- 1 u g 5 24-04-2003 x",
     .file_name = "x", .file_size = 5, .time = "4/24/2003", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "DottedDate",
     .line = "-rw-r--r-- 1 u g 5 2004.07.15 x",
     .file_name = "x", .file_size = 5, .time = "7/15/2004", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "DayMonthNameTwoDigitYear",
     .line = "-rw-r--r-- 1 u g 5 01-jun-99 x",
     .file_name = "x", .file_size = 5, .time = "6/1/1999", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "DayBeforeMonthWithYear",
     .line = "-rw-r--r-- 1 u g 5 01 oct 2004 x",
     .file_name = "x", .file_size = 5, .time = "10/1/2004", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "DayBeforeMonthWithTime",
     .line = "-rw-r--r-- 1 u g 5 29 Jan 02:27 x",
     .file_name = "x", .file_size = 5, .time = "1/29/2026 2:27:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "MonthDayCommaYearTime",
     .line = "-rw-r--r-- 1 u g 5 Oct 08, 2002 09:47 x",
     .file_name = "x", .file_size = 5, .time = "10/8/2002 9:47:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "GermanMonth",
     .line = "-rw-r--r-- 1 u g 5 Mär 03  2019 x",
     .file_name = "x", .file_size = 5, .time = "3/3/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "GermanDayDotMonth",
     .line = "-rw-r--r-- 1 u g 5 5. Dez 2019 x",
     .file_name = "x", .file_size = 5, .time = "12/5/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "HungarianYearMonthDay",
     .line = "-rw-r--r-- 1 u g 5 2004. febr. 12. x",
     .file_name = "x", .file_size = 5, .time = "2/12/2004", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "RussianMonth",
     .line = "-rw-r--r-- 1 u g 5 Окт 07  2019 x",
     .file_name = "x", .file_size = 5, .time = "10/7/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "ChineseMonthSign",
     .line = "-rw-r--r-- 1 u g 5 12月 24  2019 x",
     .file_name = "x", .file_size = 5, .time = "12/24/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "JapaneseMonthAndDaySigns",
     .line = "-rw-r--r-- 1 u g 5 1月 5日 10:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 10:30:00 AM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "GluedYearMonthDaySigns",
     .line = "-rw-r--r-- 1 u g 5 2019年1月5日 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2019", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    {.name = "KoreanMonthSign",
     .line = "-rw-r--r-- 1 u g 5 3월 9 2020 x",
     .file_name = "x", .file_size = 5, .time = "3/9/2020", .permissions = "-rw-r--r--",
     .owner = "u", .group = "g"},
    // Columns left out or run together.
    {.name = "NoLinkCount",
     .line = "-rw-r--r-- owner group 5 Jan 05 12:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "owner", .group = "group"},
    {.name = "NoOwnerColumns",
     .line = "-rw-r--r-- 5 Jan 05 12:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--"},
    {.name = "GroupGluedToSize",
     .line = "-rw-r--r-- 1 owner longgroup123456 Jan 05 12:30 x",
     .file_name = "x", .file_size = 123456, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "owner", .group = "longgroup"},
    {.name = "DeviceMajorMinor",
     .line = "crw-rw-rw- 1 root tty 5,  0 Jan 05 12:30 tty",
     .file_name = "tty", .time = "1/5/2026 12:30:00 PM", .permissions = "crw-rw-rw-",
     .owner = "root", .group = "tty"},
    {.name = "DeviceMajorMinorGlued",
     .line = "brw-rw---- 1 root disk 8,0 Jan 05 12:30 sda",
     .file_name = "sda", .time = "1/5/2026 12:30:00 PM", .permissions = "brw-rw----",
     .owner = "root", .group = "disk"},
    {.name = "BlankBeforeMode",
     .line = " -rw-r--r-- 1 u g 5 Jan 05 12:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "SelinuxDotAndSticky",
     .line = "drwxrwxrwt. 2 u g 5 Jan 05 12:30 tmp",
     .file_name = "tmp", .is_directory = true, .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "drwxrwxrwt.", .owner = "u", .group = "g"},
    {.name = "SetuidLetters",
     .line = "-rwsr-Sr-T 1 u g 5 Jan 05 12:30 x",
     .file_name = "x", .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rwsr-Sr-T", .owner = "u", .group = "g"},
    // Arrows.
    {.name = "LinkSplitWhereTheTargetFitsItsSize",
     .line = "lrwxrwxrwx 1 u g 5 Jan 05 12:30 a -> b -> c.txt",
     .file_name = "a -> b", .file_size = 5, .time = "1/5/2026 12:30:00 PM",
     .permissions = "lrwxrwxrwx", .owner = "u", .group = "g", .link_target = "c.txt"},
    {.name = "FolderWithArrow",
     .line = "drwxr-xr-x 2 u g 4096 Jan 05 12:30 www -> /var/www",
     .file_name = "www", .is_directory = true, .file_size = 4096, .time = "1/5/2026 12:30:00 PM",
     .permissions = "drwxr-xr-x", .owner = "u", .group = "g", .link_target = "/var/www"},
    // Lines that give no entry.
    {.name = "UnknownTypeLetter", .line = "zrw-r--r-- 1 u g 5 Jan 05 12:30 x", .kept = false},
    {.name = "HourThirty", .line = "-rw-r--r-- 1 u g 5 Jan 05 30:00 x", .kept = false},
    {.name = "DayThirtyOneOfApril", .line = "-rw-r--r-- 1 u g 5 Apr 31  2019 x", .kept = false},
    {.name = "ThreeDigitYear", .line = "-rw-r--r-- 1 u g 5 Jan 05  201 x", .kept = false},
    {.name = "LinkCountGluedToOwner", .line = "-rw-r--r-- 1owner g 5 Jan 05 12:30 x", .kept = false},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, UnixLineTest, ::testing::ValuesIn(kUnixLines), LineCaseName);

}  // namespace
}  // namespace tarvik::test

namespace tarvik::test {
namespace {

// Listings arrive in the server's code page and are decoded before they are parsed; the month
// signs read the same from each legacy encoding.
TEST_F(ListingTest, MonthSignsOfLegacyEncodingsOnceDecoded) {
  const struct {
    unsigned code_page;
    const char* month;  // "12" and the month sign in that code page
  } cases[] = {{936, "12\xD4\xC2"}, {932, "12\x8C\x8E"}, {51949, "12\xBF\xF9"}};
  for (const auto& c : cases) {
    const auto line = platform::MultiByteToUtf8(
        std::string("-rw-r--r-- 1 u g 5 ") + c.month + " 24  2019 x\r\n", c.code_page);
    ASSERT_TRUE(line.has_value()) << c.code_page;
    const auto files = Parse(*line);
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->Size(), 1u) << c.code_page;
    EXPECT_EQ(files->ItemAt(1)->StoredLastWriteTime(), "12/24/2019") << c.code_page;
  }
}

}  // namespace
}  // namespace tarvik::test
