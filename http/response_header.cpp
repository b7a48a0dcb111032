#include "http/response_header.h"

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"

namespace tarvik {
namespace {
constexpr std::string_view kHeaderEnd = "\r\n\r\n";

}  // namespace

bool ResponseHeaderReader::Take(std::span<const std::uint8_t> bytes) {
  if (complete_) return true;
  // The end may straddle two arrivals: look again from just before the new bytes.
  const std::size_t before = header_.size();
  const std::size_t from = before >= 3 ? before - 3 : 0;
  const std::size_t room = kMaxHeaderSize + kHeaderEnd.size() - header_.size();
  const std::size_t taken = std::min(bytes.size(), room);
  header_.append(reinterpret_cast<const char*>(bytes.data()), taken);
  const std::size_t end = header_.find(kHeaderEnd, from);
  if (end == std::string::npos) {
    // Refused only once no end can still fall within the limit, so that where the arrivals were
    // cut never decides whether a header is accepted.
    if (header_.size() >= kMaxHeaderSize + kHeaderEnd.size())
      Raise(ErrorCode::kHttpHeaderError, "Header Error");
    return false;
  }
  const std::size_t header_size = end + kHeaderEnd.size();
  header_.resize(header_size);
  body_start_ = bytes.subspan(header_size - before);
  complete_ = true;
  return true;
}

void ResponseHeaderReader::Reset() {
  header_.clear();
  body_start_ = {};
  complete_ = false;
}

}  // namespace tarvik
