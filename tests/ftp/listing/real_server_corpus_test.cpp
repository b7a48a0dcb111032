// Listings captured from the four test servers (pyftpdlib, vsftpd, pure-ftpd, proftpd) in data/:
// LIST, "LIST -al" and MLSD of one folder, and an MLST reply, byte for byte as they came. The
// folder held files and folders with blanks, ";", non-ASCII letters and a date in their names,
// symbolic links to a file and to a folder, a sparse file of 5,000,000,123 bytes, an empty folder,
// and dates in both Unix date forms. Each NAME.txt is parsed and compared with NAME.expected.
// (vsftpd knows no MLSD/MLST; pyftpdlib takes "-al" for a path and refuses it.)
#include <fstream>
#include <sstream>

#include "listing_test_support.h"

namespace tarvik::test {
namespace {

std::string ReadDataFile(const std::string& name) {
  std::ifstream file(std::string(TARVIK_LISTING_DATA_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

struct ExpectedEntry {
  std::string name;
  bool is_directory = false;
  double size = 0;
  std::string time;
  std::string permissions;
  std::string owner;
  std::string group;
};

std::vector<ExpectedEntry> ReadExpected(const std::string& name) {
  std::vector<ExpectedEntry> entries;
  std::istringstream lines(ReadDataFile(name));
  std::string line;
  while (std::getline(lines, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> columns;
    std::size_t start = 0;
    for (std::size_t tab; (tab = line.find('\t', start)) != std::string::npos; start = tab + 1)
      columns.push_back(line.substr(start, tab - start));
    columns.push_back(line.substr(start));
    EXPECT_EQ(columns.size(), 7u) << line;
    columns.resize(7);
    entries.push_back({columns[0], columns[1] == "1", std::stod(columns[2]), columns[3], columns[4],
                       columns[5], columns[6]});
  }
  return entries;
}

class RealServerCorpusTest : public ListingTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override { ListingEnvironment::PinUtc(2026, 12, 8, 1, 8); }
};

TEST_P(RealServerCorpusTest, ParsesAsExpected) {
  const std::string name = GetParam();
  const std::string listing = ReadDataFile(name + ".txt");
  ASSERT_FALSE(listing.empty()) << name;
  const std::vector<ExpectedEntry> expected = ReadExpected(name + ".expected");
  ASSERT_FALSE(expected.empty()) << name;

  const auto files = Parse(listing, "/corpus");
  ASSERT_NE(files, nullptr) << ::testing::PrintToString(diagnostics_.log);
  ASSERT_EQ(files->Size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const CFtpFile& entry = *files->ItemAt(i + 1);
    const ExpectedEntry& want = expected[i];
    SCOPED_TRACE(want.name);
    EXPECT_EQ(entry.FileName(), want.name);
    EXPECT_EQ(entry.FilePath(), "/corpus/" + want.name);
    EXPECT_EQ(entry.IsDirectory(), want.is_directory);
    EXPECT_EQ(entry.FileSize(), want.size);
    EXPECT_EQ(entry.StoredLastWriteTime(), want.time);
    EXPECT_EQ(entry.Permissions(), want.permissions);
    EXPECT_EQ(entry.Owner(), want.owner);
    EXPECT_EQ(entry.Group(), want.group);
  }
  EXPECT_TRUE(diagnostics_.reports.empty());
}

std::string CorpusName(const ::testing::TestParamInfo<const char*>& info) {
  std::string name = info.param;
  for (char& c : name) c = c == '-' ? '_' : c;
  return name;
}

INSTANTIATE_TEST_SUITE_P(Captured, RealServerCorpusTest,
                         ::testing::Values("pyftpdlib-list", "pyftpdlib-mlsd", "pyftpdlib-mlst",  //
                                           "vsftpd-list", "vsftpd-list-al",                       //
                                           "pureftpd-list", "pureftpd-list-al", "pureftpd-mlsd",
                                           "pureftpd-mlst", "proftpd-list", "proftpd-list-al",
                                           "proftpd-mlsd", "proftpd-mlst"),
                         CorpusName);

}  // namespace
}  // namespace tarvik::test
