// MLSD/MLST fact lines, one row per line. Local time is UTC in the table; the time-zone test
// below moves it.
//   "type=file;size=1234;modify=20190105123045.123;UNIX.mode=0644; name"
#include "listing_test_support.h"

namespace tarvik::test {
namespace {

class FactLineTest : public LineCaseTest {};

TEST_P(FactLineTest, GivesTheExpectedEntry) {
  CheckRow();
}

// One row per line of the table reads better than one field per line.
// clang-format off
const LineCase kFactLines[] = {
    {.name = "File",
     .line = "type=file;size=1234;modify=20190105123045.123;UNIX.mode=0644; name",
     .file_name = "name", .file_size = 1234, .time = "1/5/2019 12:30:45 PM"},
    {.name = "FolderHasNoSize",
     .line = "type=dir;sizd=4096;modify=20190105123045; pub",
     .file_name = "pub", .is_directory = true, .time = "1/5/2019 12:30:45 PM"},
    {.name = "FactNamesIgnoreCase",
     .line = "Type=File;Size=10;Modify=20190105000000; X",
     .file_name = "X", .file_size = 10, .time = "1/5/2019"},
    {.name = "SizeAboveFourGigabytes",
     .line = "type=file;size=5000000000;modify=20200228101112; big.iso",
     .file_name = "big.iso", .file_size = 5e9, .time = "2/28/2020 10:11:12 AM"},
    // A link is no folder: the server does not say what its target is.
    {.name = "LinkWithTarget",
     .line = "type=OS.unix=slink:/srv/a.txt;size=7;modify=20190105123045; link",
     .file_name = "link", .file_size = 7, .time = "1/5/2019 12:30:45 PM",
     .link_target = "/srv/a.txt"},
    {.name = "LinkWithoutTarget",
     .line = "type=OS.unix=symlink;size=9;modify=20190105123045; link",
     .file_name = "link", .file_size = 9, .time = "1/5/2019 12:30:45 PM"},
    {.name = "LinkWithFolderPermissionsIsNoFolder",
     .line = "type=OS.unix=slink:sub;perm=elc;size=3;modify=20190105123045; link",
     .file_name = "link", .file_size = 3, .time = "1/5/2019 12:30:45 PM", .link_target = "sub"},
    {.name = "DeviceIsNoFolder",
     .line = "type=OS.unix=blkdev;modify=20190105123045; sda",
     .file_name = "sda", .time = "1/5/2019 12:30:45 PM"},
    {.name = "CurrentFolderAddsNothing",
     .line = "type=cdir;modify=20190105123045; .",
     .kept = false},
    {.name = "ParentFolderAddsNothing",
     .line = "type=pdir;modify=20190105123045; ..",
     .kept = false},
    // Some servers name the parent by its path; it is still not an entry of this folder.
    {.name = "ParentFolderByPathAddsNothing",
     .line = "type=pdir;modify=20190105123045; /home/user",
     .kept = false},
    {.name = "MlstReplyLineWithPath",
     .line = " type=file;size=5;modify=20190105123045; /pub/a.txt",
     .file_name = "a.txt", .file_size = 5, .time = "1/5/2019 12:30:45 PM"},
    {.name = "NameWithSemicolon",
     .line = "type=file;size=1;modify=20190105123045; a;b.txt",
     .file_name = "a;b.txt", .file_size = 1, .time = "1/5/2019 12:30:45 PM"},
    {.name = "NameWithLeadingBlank",
     .line = "type=file;size=1;modify=20190105123045;  lead",
     .file_name = " lead", .file_size = 1, .time = "1/5/2019 12:30:45 PM"},
    // A name that looks like a Unix date column stays a fact line's name.
    {.name = "NameLookingLikeUnixDate",
     .line = "type=file;size=100;modify=20190105123045; Report 2 Jan 12 2019.pdf",
     .file_name = "Report 2 Jan 12 2019.pdf", .file_size = 100, .time = "1/5/2019 12:30:45 PM"},
    {.name = "NameHoldingFacts",
     .line = "type=file;size=2;modify=20190105123045; type=cdir; x",
     .file_name = "type=cdir; x", .file_size = 2, .time = "1/5/2019 12:30:45 PM"},
    {.name = "UnreadableModifyLeavesTimeEmpty",
     .line = "type=file;size=1;modify=2019; x",
     .file_name = "x", .file_size = 1},
    {.name = "MissingModifyLeavesTimeEmpty",
     .line = "type=file;size=3;UNIX.mode=0644; x",
     .file_name = "x", .file_size = 3},
    {.name = "NoBlankTakesTextAfterLastSemicolon",
     .line = "type=file;size=4;modify=20190105123045;x.txt",
     .file_name = "x.txt", .file_size = 4, .time = "1/5/2019 12:30:45 PM"},
    {.name = "NoBlankAfterFactsKeepsRestOfLine",
     .line = "type=file;size=4;modify=20190105123045;x y.txt",
     .file_name = "x y.txt", .file_size = 4, .time = "1/5/2019 12:30:45 PM"},
    {.name = "PathNameKeepsLastElement",
     .line = "type=file;size=1;modify=20190105123045; ../../etc/passwd",
     .file_name = "passwd", .file_size = 1, .time = "1/5/2019 12:30:45 PM"},
    {.name = "OnlyType",
     .line = "type=dir; pub",
     .file_name = "pub", .is_directory = true},
    {.name = "OnlySize",
     .line = "size=12; notes.txt",
     .file_name = "notes.txt", .file_size = 12},
    {.name = "NoFactsAfterLeadingBlank",
     .line = " plain name.txt",
     .file_name = "plain name.txt"},
    {.name = "EmptyFactValues",
     .line = "type=file;perm=;size=3;UNIX.mode=; x",
     .file_name = "x", .file_size = 3},
    {.name = "EqualsInsideValue",
     .line = "type=file;size=3;x.note=a=b; x",
     .file_name = "x", .file_size = 3},
    {.name = "TabBetweenFactsAndName",
     .line = "type=file;size=3;\tx y",
     .file_name = "x y", .file_size = 3},
    {.name = "NoFinalSemicolon",
     .line = "type=file;size=3 x",
     .file_name = "x", .file_size = 3},
    {.name = "TimeBefore1970",
     .line = "type=file;size=3;modify=19691231235959.5; x",
     .file_name = "x", .file_size = 3, .time = "12/31/1969 11:59:59 PM"},
    {.name = "UnknownTypeIsAFile",
     .line = "type=OS.zos=pds;size=3; x",
     .file_name = "x", .file_size = 3},
    {.name = "TypeLink",
     .line = "type=link;size=3; x",
     .file_name = "x", .file_size = 3},
    {.name = "CharacterDevice",
     .line = "type=OS.unix=chr-13/29;modify=20190105123045; tty",
     .file_name = "tty", .time = "1/5/2019 12:30:45 PM"},
    {.name = "UpperCaseDirType",
     .line = "TYPE=DIR;MODIFY=20190105123045; Pub",
     .file_name = "Pub", .is_directory = true, .time = "1/5/2019 12:30:45 PM"},
    {.name = "InvalidModifyMonth",
     .line = "type=file;size=1;modify=20191305123045; x",
     .file_name = "x", .file_size = 1},
};
// clang-format on

INSTANTIATE_TEST_SUITE_P(Lines, FactLineTest, ::testing::ValuesIn(kFactLines), LineCaseName);

TEST_F(ListingTest, ModifyFactIsShownInLocalTime) {
  ListingEnvironment::SetTimeZone("EST5EDT,M3.2.0,M11.1.0");
  const auto files = Parse(
      "type=file;size=1;modify=20190105123045.123; a\r\n"
      "type=file;size=1;modify=20190705123045; b\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 2u);
  EXPECT_EQ(files->ItemAt(1)->StoredLastWriteTime(), "1/5/2019 7:30:45 AM");
  EXPECT_EQ(files->ItemAt(1)->LastWriteTime(), "1/5/2019 7:30 AM");
  EXPECT_EQ(files->ItemAt(2)->StoredLastWriteTime(), "7/5/2019 8:30:45 AM");  // summer time
}

TEST_F(ListingTest, UnreadableModifyFactIsLogged) {
  const auto files = Parse("type=file;size=1;modify=2019x; x\r\n");
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 1u);
  EXPECT_EQ(diagnostics_.LogLinesStartingWith("GetMLSDFileTime.Error:"), 1u);
}

}  // namespace
}  // namespace tarvik::test
