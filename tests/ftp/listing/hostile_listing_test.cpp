// Listings a hostile or broken server could send: noise, huge lines, huge folders, names that try
// to leave the folder. The parse must end, and every entry it gives must be a bare, usable name.
#include "listing_test_support.h"

#include <random>

namespace tarvik::test {
namespace {

// Every entry is a bare name: no separator, not "." or "..", no control character but TAB, and
// its path is the base folder plus the name.
void ExpectSafeEntries(const CFtpFiles& files, const std::string& prefix = "/base/") {
  for (const auto& entry : files) {
    const std::string& name = entry->FileName();
    ASSERT_FALSE(name.empty());
    EXPECT_EQ(name.find_first_of("/\\"), std::string::npos) << name;
    EXPECT_NE(name, ".");
    EXPECT_NE(name, "..");
    for (unsigned char c : name) EXPECT_TRUE((c >= 0x20 || c == '\t') && c != 0x7F) << int(c);
    EXPECT_EQ(entry->FilePath(), prefix + name);
  }
}

class HostileListingTest : public ListingTest {};

TEST_F(HostileListingTest, RandomBytesNeverGiveUnsafeEntries) {
  std::mt19937 random(20260315);
  for (int round = 0; round < 20; ++round) {
    std::string noise(256 * 1024, '\0');
    for (char& c : noise) c = static_cast<char>(random() & 0xFF);
    const auto files = Parse(noise);
    if (files) ExpectSafeEntries(*files);
  }
}

TEST_F(HostileListingTest, NoiseMadeOfListingFragments) {
  // Pieces of real lines glued at random give lines that nearly parse.
  const std::string_view pieces[] = {" Jan ",
                                     " 05 ",
                                     "12:30",
                                     " 2019",
                                     "-rw-r--r--",
                                     "d",
                                     " 1 ",
                                     "/",
                                     "\\",
                                     "..",
                                     ".",
                                     "\r",
                                     "\n",
                                     "type=",
                                     "file;",
                                     "dir;",
                                     "cdir;",
                                     "size=",
                                     "modify=",
                                     "20190105123045",
                                     ";",
                                     " -> ",
                                     "<DIR>",
                                     "01-05-19",
                                     "12:30PM",
                                     "  ",
                                     "x",
                                     "\t",
                                     std::string_view("\0", 1),
                                     "250 "};
  std::mt19937 random(7);
  std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
  for (int round = 0; round < 50; ++round) {
    std::string listing;
    for (int i = 0; i < 5000; ++i) listing += pieces[pick(random)];
    const auto files = Parse(listing);
    if (files) ExpectSafeEntries(*files);
  }
}

TEST_F(HostileListingTest, OneMegabyteLinesEnd) {
  const std::size_t mb = 1024 * 1024;
  const std::vector<std::string> lines = {
      std::string(mb, 'a'),
      std::string(mb, ' ') + "x",
      std::string(mb, '\r'),
      "-rw-r--r-- 1 u g 5 Jan 05 12:30 " + std::string(mb, 'n'),
      "-rw-r--r-- " + std::string(mb, ' ') + "1 u g 5 Jan 05 12:30 spaced",
      [&] {
        std::string s;
        while (s.size() < mb) s += "1 jan 05 1x:30 ";  // many near-miss month columns
        return s;
      }(),
      "type=file;size=1;modify=20190105123045;" + std::string(mb, ';') + " facts",
      "01-05-19  12:30PM  1 " + std::string(mb, '<'),
  };
  for (const std::string& line : lines) {
    const auto files = Parse(line + "\r\n");
    if (files) ExpectSafeEntries(*files);
  }
  // The long name is kept whole.
  const auto files = Parse(lines[3]);
  ASSERT_NE(files, nullptr);
  ASSERT_EQ(files->Size(), 1u);
  EXPECT_EQ(files->ItemAt(1)->FileName().size(), mb);
  const auto spaced = Parse(lines[4]);
  ASSERT_NE(spaced, nullptr);
  ASSERT_EQ(spaced->Size(), 1u);
  EXPECT_EQ(spaced->ItemAt(1)->Owner(), "u");
}

TEST_F(HostileListingTest, TwoHundredThousandEntriesAreAllKept) {
  std::string unix_listing;
  std::string facts_listing;
  for (int i = 0; i < 200000; ++i) {
    unix_listing +=
        "-rw-r--r-- 1 u g " + std::to_string(i) + " Jan 05 12:30 f" + std::to_string(i) + "\r\n";
    facts_listing += "type=file;size=" + std::to_string(i) + ";modify=20190105123045; f" +
                     std::to_string(i) + "\r\n";
  }
  for (const std::string* listing : {&unix_listing, &facts_listing}) {
    const auto files = Parse(*listing);
    ASSERT_NE(files, nullptr);
    ASSERT_EQ(files->Size(), 200000u);
    EXPECT_EQ(files->ItemAt(200000)->FileName(), "f199999");
    EXPECT_EQ(files->ItemAt(200000)->FileSize(), 199999);
  }
}

// One row per line of the table reads better than one field per line.
// clang-format off
const LineCase kEscapingNames[] = {
    {.name = "ParentPathKeepsLastElement",
     .line = "-rw-r--r-- 1 u g 1 Jan 05 12:30 ../../etc/passwd",
     .file_name = "passwd", .file_size = 1, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "BackslashParentPathKeepsLastElement",
     .line = "-rw-r--r-- 1 u g 1 Jan 05 12:30 ..\\..\\windows\\win.ini",
     .file_name = "win.ini", .file_size = 1, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "DotsInsideANameAreKept",
     .line = "-rw-r--r-- 1 u g 1 Jan 05 12:30 a..b",
     .file_name = "a..b", .file_size = 1, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "TrailingParentIsDropped",
     .line = "drwxr-xr-x 2 u g 1 Jan 05 12:30 a/..",
     .kept = false},
    {.name = "BackslashParentIsDropped",
     .line = "drwxr-xr-x 2 u g 1 Jan 05 12:30 ..\\..",
     .kept = false},
    {.name = "FactParentNameIsDropped",
     .line = "type=dir;modify=20190105123045; ..",
     .kept = false},
    {.name = "DosParentNameIsDropped", .line = "01-05-19  12:30PM  <DIR>  ..", .kept = false},
    {.name = "TabInNameIsKept",
     .line = "-rw-r--r-- 1 u g 1 Jan 05 12:30 a\tb\t",
     .file_name = "a\tb\t", .file_size = 1, .time = "1/5/2026 12:30:00 PM",
     .permissions = "-rw-r--r--", .owner = "u", .group = "g"},
    {.name = "EscapeInNameIsDropped",
     .line = "-rw-r--r-- 1 u g 1 Jan 05 12:30 \x1b[2Jx",
     .kept = false},
    {.name = "DeleteInNameIsDropped",
     .line = "type=file;size=1;modify=20190105123045; a\x7f",
     .kept = false},
};
// clang-format on

class EscapingNameTest : public LineCaseTest {};
TEST_P(EscapingNameTest, GivesABareNameOrNothing) {
  CheckRow();
}
INSTANTIATE_TEST_SUITE_P(Lines, EscapingNameTest, ::testing::ValuesIn(kEscapingNames),
                         LineCaseName);

TEST_F(HostileListingTest, NulInNameIsDroppedAndLogged) {
  using namespace std::string_literals;
  const std::string listing = "-rw-r--r-- 1 u g 1 Jan 05 12:30 a\0b\r\nx"s;
  const auto files = Parse(listing);
  ASSERT_NE(files, nullptr);
  EXPECT_EQ(files->Size(), 0u);
  EXPECT_EQ(diagnostics_.LogLinesStartingWith("FormatFileList:BadName[a?b]"), 1u);
}

}  // namespace
}  // namespace tarvik::test
