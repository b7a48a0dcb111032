// Unix long-listing lines, one row per line. "Today" is 15 March 2026, local time is UTC.
//   "-rw-r--r--   1 owner group  1234 Jan 05 12:30 name"
#include "listing_test_support.h"

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
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, UnixLineTest, ::testing::ValuesIn(kUnixLines), LineCaseName);

}  // namespace
}  // namespace tarvik::test
