// Parsing speed of directory listings: 100,000-line Unix long listings and MLSD listings, the
// size of a very large remote folder. Names, sizes and dates vary as in a real folder.
#include <benchmark/benchmark.h>

#include <string>

#include "ftp/listing/format_file_list.h"

namespace {

class DiscardingDiagnostics : public tarvik::ListingDiagnostics {
 public:
  void WriteLog(std::string_view) override {}
  void ReportError(std::string_view, long, std::string_view) override {}
};

constexpr const char* kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string TwoDigits(int value) {
  return std::string(1, static_cast<char>('0' + value / 10)) + static_cast<char>('0' + value % 10);
}

std::string UnixListing(int lines) {
  std::string text = "total " + std::to_string(lines * 8) + "\r\n";
  for (int i = 0; i < lines; ++i) {
    const bool folder = i % 10 == 0;
    text += folder ? "drwxr-xr-x    2 " : "-rw-r--r--    1 ";
    text += "webmaster  www-data  ";
    text += std::to_string(folder ? 4096 : 1000 + static_cast<long long>(i) * 7919);
    text += ' ';
    text += kMonths[i % 12];
    text += ' ' + TwoDigits(1 + i % 28) + ' ';
    text += i % 3 == 0 ? " 2019" : TwoDigits(i % 24) + ":" + TwoDigits(i % 60);
    text += folder ? " folder_" : " report file ";
    text += std::to_string(i) + (folder ? "" : ".pdf") + "\r\n";
  }
  return text;
}

std::string MlsdListing(int lines) {
  std::string text;
  for (int i = 0; i < lines; ++i) {
    const bool folder = i % 10 == 0;
    text += folder ? "type=dir;" : "type=file;size=" + std::to_string(1000 + i * 7919LL) + ";";
    text += "modify=20" + TwoDigits(10 + i % 15) + TwoDigits(1 + i % 12) + TwoDigits(1 + i % 28) +
            TwoDigits(i % 24) + TwoDigits(i % 60) + TwoDigits(i % 59) + ".123;";
    text += "UNIX.mode=0644;UNIX.uid=1000;UNIX.gid=1000;unique=fd01g" + std::to_string(i) + ";";
    text += folder ? " folder_" : " report file ";
    text += std::to_string(i) + (folder ? "" : ".pdf") + "\r\n";
  }
  return text;
}

void Parse(benchmark::State& state, const std::string& listing) {
  DiscardingDiagnostics diagnostics;
  std::size_t entries = 0;
  for (auto _ : state) {
    auto files = tarvik::FormatFileList(listing, "/home/webmaster/public", diagnostics);
    entries = files ? files->Size() : 0;
    benchmark::DoNotOptimize(files);
    // The host frees the entries later; that is not part of parsing.
    state.PauseTiming();
    files.reset();
    state.ResumeTiming();
  }
  state.counters["entries"] = static_cast<double>(entries);
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * listing.size()));
}

void BM_UnixListing100k(benchmark::State& state) {
  static const std::string listing = UnixListing(100'000);
  Parse(state, listing);
}

void BM_MlsdListing100k(benchmark::State& state) {
  static const std::string listing = MlsdListing(100'000);
  Parse(state, listing);
}

BENCHMARK(BM_UnixListing100k)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MlsdListing100k)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
