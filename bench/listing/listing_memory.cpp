// The memory one large listing takes: GetFtpDirectoryInfo of a folder of 1,000,000 entries (Unix
// lines, about 70 bytes each) that the scripted server sends, through the whole path: the data
// connection, the text, the parse, the listing cache and the sort. Prints the peak resident memory
// the call added (VmHWM, reset before the call through /proc/self/clear_refs, against VmRSS
// before it) and what the result and the cache keep afterwards, each per entry.
//   bench_listing_memory [entries]
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "ftp/directory/remote_listing.h"
#include "tests/ftp/loopback/session_harness.h"

namespace {

// A figure of /proc/self/status in KiB ("VmRSS", "VmHWM").
long StatusKib(const std::string& name) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);) {
    if (line.rfind(name + ":", 0) == 0) return std::stol(line.substr(name.size() + 1));
  }
  return -1;
}

std::string Listing(std::size_t entries) {
  std::string text;
  text.reserve(entries * 72);
  char line[128];
  for (std::size_t i = 0; i < entries; ++i) {
    std::snprintf(line, sizeof line,
                  "-rw-r--r--    1 1000     1000     %10zu Jan 05 12:30 file%07zu.txt\r\n",
                  i * 37 % 100000, i);
    text += line;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvik;
  const std::size_t entries = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 1'000'000;
  char root[] = "/tmp/tarvik-listing-bench-XXXXXX";
  if (mkdtemp(root) == nullptr) return 1;
  setenv("TARVIK_ROOT", root, 1);

  std::string text = Listing(entries);
  const std::size_t text_bytes = text.size();
  test::FakeFtpServer server;
  test::PlayLogin(server, "220 Fake server ready", "/")
      .Expect("TYPE I")
      .Reply("200 Type set to I")
      .Expect("PASV")
      .ReplyPasv()
      .Expect("LIST big/")
      .Reply("150 Here comes the directory listing")
      .SendData(std::move(text))
      .Reply("226 Directory send OK");
  server.Start();
  test::SessionUnderTest t(server.Port());
  t.session.settings().list_working_dir = false;
  if (!t.session.Connect()) return 1;

  const long before = StatusKib("VmRSS");
  std::ofstream("/proc/self/clear_refs") << "5";  // VmHWM starts again from VmRSS
  const auto files = RemoteListing(t.session).GetFtpDirectoryInfo("big");
  const long peak = StatusKib("VmHWM");
  const long after = StatusKib("VmRSS");
  if (!files || files->Size() != entries) {
    std::printf("listing failed: %d %s\n", t.session.ErrorNumber(), t.session.ErrorInfo().c_str());
    return 1;
  }
  const double n = static_cast<double>(entries);
  std::printf("%zu entries, %zu bytes of listing text (%.0f bytes a line)\n", entries, text_bytes,
              static_cast<double>(text_bytes) / n);
  std::printf("peak added by the listing: %ld KiB, %.0f bytes an entry\n", peak - before,
              (peak - before) * 1024.0 / n);
  std::printf("kept by the result and the cache: %ld KiB, %.0f bytes an entry\n", after - before,
              (after - before) * 1024.0 / n);
  return server.WaitFinished() ? 0 : 1;
}
