// File lookups of an upload batch against the listing cache: n lookups against an n-entry listing
// (the batch checks every file of a folder against one listing of the target). The cache parses
// the listing once and answers each lookup from a hash index, so the whole batch costs O(n).
// For scale, the same check done by parsing the listing text again for each lookup.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "ftp/directory/listing_cache.h"
#include "ftp/listing/format_file_list.h"

namespace {

class DiscardingDiagnostics : public tarvik::ListingDiagnostics {
 public:
  void WriteLog(std::string_view) override {}
  void ReportError(std::string_view, long, std::string_view) override {}
};

std::string FileName(long i) {
  return "Report File " + std::to_string(i) + ".pdf";
}

std::string UnixListing(long lines) {
  std::string text;
  for (long i = 0; i < lines; ++i) {
    text += "-rw-r--r--    1 webmaster  www-data  " + std::to_string(1000 + i * 7919) +
            " Jan 05 12:30 " + FileName(i) + "\r\n";
  }
  return text;
}

std::shared_ptr<tarvik::CFtpFiles> Parse(const std::string& text) {
  DiscardingDiagnostics diagnostics;
  return tarvik::FormatFileList(text, "/upload/", diagnostics);
}

// Half the names are in the listing (upper-cased, so the lookup ignores case), half are not.
std::vector<std::string> LookupNames(long n, bool with_path) {
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(n));
  for (long i = 0; i < n; ++i) {
    std::string name = i % 2 == 0 ? FileName(i) : "new " + FileName(i);
    for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    names.push_back(with_path ? "/upload/" + name : name);
  }
  return names;
}

// The listing is stored once per batch, then every file is looked up.
void BM_CacheBatch(benchmark::State& state, bool with_path) {
  const long n = state.range(0);
  const std::string text = UnixListing(n);
  const std::vector<std::string> names = LookupNames(n, with_path);
  for (auto _ : state) {
    tarvik::ListingCache cache;
    cache.Store(Parse(text));
    long found = 0;
    for (const std::string& name : names) found += cache.Lookup(name) != nullptr;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * n);
  state.SetComplexityN(n);
}
BENCHMARK_CAPTURE(BM_CacheBatch, ByName, false)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_CacheBatch, ByPath, true)
    ->RangeMultiplier(10)
    ->Range(1000, 100000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// Lookups alone, n of them against a stored n-entry listing.
void BM_CacheLookupsOnly(benchmark::State& state) {
  const long n = state.range(0);
  tarvik::ListingCache cache;
  cache.Store(Parse(UnixListing(n)));
  const std::vector<std::string> names = LookupNames(n, false);
  for (auto _ : state) {
    long found = 0;
    for (const std::string& name : names) found += cache.Lookup(name) != nullptr;
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_CacheLookupsOnly)->Arg(1000)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

// For scale: parsing the listing text again for every lookup (O(n^2) over a batch).
void BM_ReparseEachLookup(benchmark::State& state) {
  const long n = state.range(0);
  const std::string text = UnixListing(n);
  const std::vector<std::string> names = LookupNames(n, false);
  for (auto _ : state) {
    long found = 0;
    for (const std::string& name : names) {
      tarvik::ListingCache cache;
      cache.Store(Parse(text));
      found += cache.Lookup(name) != nullptr;
    }
    benchmark::DoNotOptimize(found);
  }
  state.SetItemsProcessed(state.iterations() * n);
}
BENCHMARK(BM_ReparseEachLookup)->Arg(300)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
