// The listing parser over any text: every entry has a bare name (not empty, not "." or "..", no
// separator, no control character but TAB) and the path of that name in the base folder, and one
// listing writes a bounded number of short log lines whatever it holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "ftp/listing/format_file_list.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

// Log lines are excerpts: a line of the listing is cut at 1,024 bytes, a name at 256.
constexpr std::size_t kMaxMessageBytes = 4096;

bool IsShortLogText(std::string_view text) {
  if (text.size() > kMaxMessageBytes) return false;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && c != '\r' && c != '\n') || byte == 0x7F) return false;
  }
  return true;
}

class CountingDiagnostics : public tarvik::ListingDiagnostics {
 public:
  void WriteLog(std::string_view text) override {
    FUZZ_CHECK(IsShortLogText(text));
    ++messages;
  }
  void ReportError(std::string_view procedure, long, std::string_view description) override {
    FUZZ_CHECK(IsShortLogText(procedure) && IsShortLogText(description));
    ++messages;
  }
  std::size_t messages = 0;
};

bool IsBareName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '/' || c == '\\' || (byte < 0x20 && c != '\t') || byte == 0x7F) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view listing(reinterpret_cast<const char*>(data), size);
  CountingDiagnostics diagnostics;
  const auto files = tarvik::FormatFileList(listing, "/pub/in", diagnostics);
  // At most the limit, and one closing line counting the rest.
  FUZZ_CHECK(diagnostics.messages <= tarvik::kMaxListingLogLines + 1);
  if (!files) return 0;
  for (const auto& entry : *files) {
    FUZZ_CHECK(IsBareName(entry->FileName()));
    FUZZ_CHECK(entry->FilePath() == "/pub/in/" + entry->FileName());
    FUZZ_CHECK(entry->FileSize() >= 0);
  }
  return 0;
}
