// Collects a response header however it arrives: in one piece with the body, a byte at a time,
// or over more receives than any one buffer holds. The header ends at the first empty line
// (CR LF CR LF); what follows is body, and header names are never looked for in it.
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace tarvik {

class ResponseHeaderReader {
 public:
  // A header whose empty line starts past this many bytes is refused (18000 "Header Error").
  static constexpr std::size_t kMaxHeaderSize = 64 * 1024;

  // Takes the next arrival. True once the header is complete; then BodyStart() holds the bytes of
  // this arrival that follow it. Raises NumberedError 18000 once the header can no longer end
  // within the limit.
  bool Take(std::span<const std::uint8_t> bytes);
  bool Complete() const { return complete_; }
  // The header, its final empty line included.
  const std::string& Header() const { return header_; }
  std::span<const std::uint8_t> BodyStart() const { return body_start_; }
  void Reset();

 private:
  std::string header_;
  std::span<const std::uint8_t> body_start_;
  bool complete_ = false;
};

}  // namespace tarvik
