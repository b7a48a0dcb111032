// The HTTP response reader over any bytes, cut into arrivals at positions the input chooses. The
// header ends at its first empty line and at most 64 KiB (else 18000), the way the bytes are cut
// never changes where, the bytes after it are the body untouched, and the values read from the
// header are trimmed, lie inside it and are numbers where numbers are promised.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "core/errors/numbered_error.h"
#include "http/http_headers.h"
#include "http/response_header.h"
#include "platform/ui/ui_provider.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using tarvik::ResponseHeaderReader;

// Answers the message box of an unreadable length without showing or keeping anything.
class SilentUiProvider : public tarvik::platform::UiProvider {
 public:
  int MessageBox(std::string_view, std::string_view, unsigned flags) override {
    return tarvik::platform::DefaultButton(flags);
  }
  std::optional<std::string> OpenFileDialog(const tarvik::platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> SaveFileDialog(const tarvik::platform::FileDialogRequest&) override {
    return std::nullopt;
  }
  std::optional<std::string> BrowseForFolder(
      const tarvik::platform::FolderDialogRequest&) override {
    return std::nullopt;
  }
};

struct Outcome {
  bool refused = false;  // 18000: too long
  bool complete = false;
  std::string header;
  std::string body;  // the bytes after the header, from its arrival and the later ones
};

Outcome Read(std::string_view bytes, std::size_t step) {
  ResponseHeaderReader reader;
  Outcome outcome;
  for (std::size_t at = 0; at < bytes.size(); at += step) {
    const std::string_view piece = bytes.substr(at, step);
    const std::span<const std::uint8_t> arrival(reinterpret_cast<const std::uint8_t*>(piece.data()),
                                                piece.size());
    if (outcome.complete) {
      outcome.body.append(piece);
      continue;
    }
    try {
      outcome.complete = reader.Take(arrival);
    } catch (const tarvik::NumberedError& error) {
      FUZZ_CHECK(error.number() == 18000);
      outcome.refused = true;
      return outcome;
    }
    FUZZ_CHECK(reader.Header().size() <= ResponseHeaderReader::kMaxHeaderSize + 4);
    if (outcome.complete) {
      const auto start = reader.BodyStart();
      outcome.body.assign(reinterpret_cast<const char*>(start.data()), start.size());
      outcome.header = reader.Header();
    }
  }
  return outcome;
}

bool IsTrimmed(std::string_view value) {
  constexpr std::string_view kBlanks = " \t\r\n";
  return value.empty() || (kBlanks.find(value.front()) == std::string_view::npos &&
                           kBlanks.find(value.back()) == std::string_view::npos);
}

void CheckHeaderValues(const std::string& header, const std::string& body) {
  try {
    const tarvik::StatusLine status = tarvik::GetStatusLine(header);
    FUZZ_CHECK(status.code >= 0 && status.code <= 999);
    FUZZ_CHECK(IsTrimmed(status.reason) && header.find(status.reason) != std::string::npos);
  } catch (const tarvik::NumberedError& error) {
    FUZZ_CHECK(error.number() == 18000);
  }
  for (std::string_view name : {"Content-Length", "Content-Type", "Content-Range"}) {
    if (const auto value = tarvik::GetHeaderValue(header, name)) {
      FUZZ_CHECK(IsTrimmed(*value) && header.find(*value) != std::string::npos);
    }
  }
  const double length = tarvik::GetFileSizeFromHead(header);
  FUZZ_CHECK(std::isfinite(length) && length >= 0 && length == std::floor(length));
  const auto range =
      tarvik::ParseContentRange(tarvik::GetHeaderValue(header, "Content-Range").value_or(""));
  FUZZ_CHECK(!range.first || (std::isfinite(*range.first) && *range.first >= 0));
  FUZZ_CHECK(!range.total || (std::isfinite(*range.total) && *range.total >= 0));
  const std::string title = tarvik::GetHtmlErrorTitle(header, body.substr(0, 4096));
  FUZZ_CHECK(IsTrimmed(title) && body.find(title) != std::string::npos);
}

}  // namespace

// The first byte chooses the arrival size (1 to 64 bytes) and, with its high bit, puts 65,530
// bytes of header lines before the rest, so that the size limit is reached.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool silent = [] {
    tarvik::platform::SetUiProvider(std::make_shared<SilentUiProvider>());
    return true;
  }();
  (void)silent;
  if (size == 0) return 0;
  const std::size_t step = (data[0] & 0x3F) + 1;
  std::string bytes;
  if (data[0] & 0x80) {
    while (bytes.size() < 65530) bytes += "X-Filler: 0123456789abcdef0123456789abcdef\r\n";
    bytes.resize(65530);
  }
  bytes.append(reinterpret_cast<const char*>(data) + 1, size - 1);

  const Outcome whole = Read(bytes, bytes.size() + 1);
  const Outcome cut = Read(bytes, step);
  FUZZ_CHECK(whole.refused == cut.refused && whole.complete == cut.complete);
  FUZZ_CHECK(whole.header == cut.header && whole.body == cut.body);
  const std::size_t end = bytes.find("\r\n\r\n");
  if (whole.complete) {
    // The first empty line ends the header; the rest is body as it came.
    FUZZ_CHECK(end != std::string::npos && whole.header.size() == end + 4);
    FUZZ_CHECK(whole.header + whole.body == bytes);
    CheckHeaderValues(whole.header, whole.body);
  } else if (whole.refused) {
    // Refused once 4 bytes past the limit have come without an end starting within it.
    FUZZ_CHECK(bytes.size() >= ResponseHeaderReader::kMaxHeaderSize + 4);
    FUZZ_CHECK(end == std::string::npos || end > ResponseHeaderReader::kMaxHeaderSize);
  } else {
    FUZZ_CHECK(end == std::string::npos && bytes.size() < ResponseHeaderReader::kMaxHeaderSize + 4);
  }
  return 0;
}
