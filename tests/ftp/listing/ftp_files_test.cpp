// The entry collection: 1-based members with 16-bit indexes, lookups by name, removal, and
// collections larger than the 16-bit count.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/errors/numbered_error.h"
#include "ftp/listing/ftp_files.h"

namespace tarvik {
namespace {

std::shared_ptr<CFtpFile> Named(const std::string& name) {
  auto file = std::make_shared<CFtpFile>();
  file->SetFileName(name);
  return file;
}

long ErrorNumberOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const NumberedError& error) {
    return error.number();
  }
  return 0;
}

TEST(FtpFiles, AddAppendsAndReturnsTheSameEntry) {
  CFtpFiles files;
  const auto a = Named("a");
  EXPECT_EQ(files.Add(a), a);
  files.Add(Named("b"));
  EXPECT_EQ(files.Count(), 2);
  EXPECT_EQ(files.Item(1), a);
  EXPECT_EQ(files.Item(2)->FileName(), "b");
}

TEST(FtpFiles, IndexesOutsideOneToCountAreErrors) {
  CFtpFiles files;
  files.Add(Named("a"));
  EXPECT_EQ(ErrorNumberOf([&] { files.Item(0); }), CFtpFiles::kIndexOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { files.Item(2); }), CFtpFiles::kIndexOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { files.Item(-1); }), CFtpFiles::kIndexOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { files.Remove(0); }), CFtpFiles::kIndexOutOfRange);
  EXPECT_EQ(ErrorNumberOf([&] { files.ItemAt(2); }), CFtpFiles::kIndexOutOfRange);
  EXPECT_EQ(files.Count(), 1);  // nothing was lost
}

TEST(FtpFiles, AddingNoObjectIsAnError) {
  CFtpFiles files;
  EXPECT_EQ(ErrorNumberOf([&] { files.Add(nullptr); }), CFtpFiles::kObjectNotSet);
  EXPECT_EQ(files.Count(), 0);
}

TEST(FtpFiles, ItemNameIgnoresCaseAndFindsTheFirst) {
  CFtpFiles files;
  files.Add(Named("other"));
  const auto first = files.Add(Named("readme"));
  files.Add(Named("README"));
  EXPECT_EQ(files.ItemName("README"), first);
  EXPECT_EQ(files.ItemName("ReadMe"), first);
  EXPECT_EQ(files.ItemName("readme.txt"), nullptr);
  const auto accented = files.Add(Named("über да.txt"));
  EXPECT_EQ(files.ItemName("ÜBER ДА.TXT"), accented);
  EXPECT_EQ(files.ItemName(""), nullptr);
}

TEST(FtpFiles, RemoveMovesLaterEntriesDown) {
  CFtpFiles files;
  for (const char* name : {"a", "b", "c"}) files.Add(Named(name));
  files.Remove(2);
  ASSERT_EQ(files.Count(), 2);
  EXPECT_EQ(files.Item(1)->FileName(), "a");
  EXPECT_EQ(files.Item(2)->FileName(), "c");
}

TEST(FtpFiles, EnumerationWalksInOrder) {
  CFtpFiles files;
  for (const char* name : {"x", "y", "z"}) files.Add(Named(name));
  std::string seen;
  for (const auto& entry : files) seen += entry->FileName();
  EXPECT_EQ(seen, "xyz");
}

TEST(FtpFiles, EntriesOutliveTheirCollection) {
  std::shared_ptr<CFtpFile> kept;
  {
    CFtpFiles files;
    files.Add(Named("kept"));
    kept = files.Item(1);
  }
  EXPECT_EQ(kept->FileName(), "kept");
}

TEST(FtpFiles, BeyondTheSixteenBitCountEveryEntryStaysReachable) {
  CFtpFiles files;
  const std::size_t total = CFtpFiles::kMaxCount + 10;
  for (std::size_t i = 1; i <= total; ++i) files.Add(Named(std::to_string(i)));
  EXPECT_EQ(files.Size(), total);
  EXPECT_EQ(ErrorNumberOf([&] { files.Count(); }), CFtpFiles::kOverflow);
  EXPECT_EQ(files.Item(CFtpFiles::kMaxCount)->FileName(), "32767");
  EXPECT_EQ(files.ItemAt(total)->FileName(), std::to_string(total));
  EXPECT_EQ(files.ItemName(std::to_string(total))->FileName(), std::to_string(total));
  std::size_t walked = 0;
  for (const auto& entry : files) walked += entry ? 1 : 0;
  EXPECT_EQ(walked, total);
  files.RemoveAt(total);
  files.RemoveAt(1);
  EXPECT_EQ(files.Size(), total - 2);
  EXPECT_EQ(files.ItemAt(1)->FileName(), "2");
}

TEST(FtpFiles, CountIsExactAtTheLimit) {
  CFtpFiles files;
  for (int i = 0; i < CFtpFiles::kMaxCount; ++i) files.Add(Named("n"));
  EXPECT_EQ(files.Count(), CFtpFiles::kMaxCount);
}

}  // namespace
}  // namespace tarvik
