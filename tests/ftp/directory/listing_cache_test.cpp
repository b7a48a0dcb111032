// The listing cache: lookups by name and by path, folders skipped, names uploaded since.
#include <gtest/gtest.h>

#include "ftp/directory/listing_cache.h"

namespace tarvik {
namespace {

CFtpFiles::Entry MakeEntry(const std::string& path, bool folder, double size) {
  auto entry = std::make_shared<CFtpFile>();
  entry->SetFilePath(path);
  entry->SetFileName(path.substr(path.rfind('/') + 1));
  entry->SetIsDirectory(folder);
  entry->SetFileSize(size);
  return entry;
}

ListingCache SampleCache() {
  CFtpFiles files;
  files.Add(MakeEntry("/pub/Docs", true, 0));
  files.Add(MakeEntry("/pub/docs", false, 1));
  files.Add(MakeEntry("/pub/a.txt", false, 2));
  files.Add(MakeEntry("/pub/A.TXT", false, 3));
  files.Add(MakeEntry("/pub/Ünï.txt", false, 4));
  ListingCache cache;
  cache.Store(std::make_shared<CFtpFiles>(files));
  return cache;
}

struct LookupCase {
  const char* path;
  double expected_size;  // -1: not found
};
void PrintTo(const LookupCase& c, std::ostream* out) {
  *out << c.path;
}

class ListingCacheLookupTest : public ::testing::TestWithParam<LookupCase> {};

TEST_P(ListingCacheLookupTest, FindsTheFirstFileEntry) {
  const ListingCache cache = SampleCache();
  const auto found = cache.Lookup(GetParam().path);
  if (GetParam().expected_size < 0) {
    EXPECT_EQ(found, nullptr);
  } else {
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->FileSize(), GetParam().expected_size);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Paths, ListingCacheLookupTest,
    ::testing::Values(LookupCase{"a.txt", 2},          // first of two names differing in case
                      LookupCase{"A.Txt", 2},          // any case
                      LookupCase{"docs", 1},           // the folder "Docs" is skipped
                      LookupCase{"/pub/a.txt", 2},     // whole path
                      LookupCase{"pub/A.txt", 2},      // path without its leading "/"
                      LookupCase{"\\pub\\a.txt", -1},  // a path must match the entry's path
                      LookupCase{"other/a.txt", -1},   // same name in another folder
                      LookupCase{"ünï.TXT", 4},        // non-ASCII letters ignore case too
                      LookupCase{"b.txt", -1}, LookupCase{"", -1}));

TEST(ListingCacheTest, UploadedNamesAreNotAnsweredFromTheListing) {
  ListingCache cache = SampleCache();
  cache.NoteChanged("/pub/A.txt");
  EXPECT_EQ(cache.Lookup("a.txt"), nullptr);
  EXPECT_EQ(cache.Lookup("/pub/a.txt"), nullptr);
  // Only that name: an upload of "ba.txt" says nothing of "a.txt".
  ListingCache other = SampleCache();
  other.NoteChanged("ba.txt");
  EXPECT_NE(other.Lookup("a.txt"), nullptr);
}

TEST(ListingCacheTest, LookupsReturnCopies) {
  const ListingCache cache = SampleCache();
  cache.Lookup("a.txt")->SetFileSize(99);
  EXPECT_EQ(cache.Lookup("a.txt")->FileSize(), 2);
}

TEST(ListingCacheTest, StoreReplacesAndClearForgets) {
  ListingCache cache = SampleCache();
  CFtpFiles files;
  files.Add(MakeEntry("/x/b.txt", false, 7));
  cache.NoteChanged("c.txt");
  cache.Store(std::make_shared<CFtpFiles>(files));
  EXPECT_EQ(cache.Lookup("a.txt"), nullptr);
  EXPECT_EQ(cache.Lookup("b.txt")->FileSize(), 7);
  EXPECT_EQ(cache.Lookup("c.txt"), nullptr);
  cache.Clear();
  EXPECT_TRUE(cache.Empty());
  EXPECT_EQ(cache.Lookup("b.txt"), nullptr);
}

TEST(BareFileNameTest, TakesTheLastElement) {
  EXPECT_EQ(BareFileName("/a/b.txt"), "b.txt");
  EXPECT_EQ(BareFileName("a\\b.txt"), "b.txt");
  EXPECT_EQ(BareFileName("b.txt"), "b.txt");
  EXPECT_EQ(BareFileName("/a/"), "");
}

}  // namespace
}  // namespace tarvik
