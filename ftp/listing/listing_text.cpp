#include "ftp/listing/listing_text.h"

#include <charconv>
#include <cmath>

#include "platform/text/ascii_text.h"

namespace tarvik::listing_text {

bool EqualsLowerAscii(std::string_view text, std::string_view lower) {
  if (text.size() != lower.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (platform::LowerAscii(text[i]) != lower[i]) return false;
  }
  return true;
}

std::optional<double> ParseNumber(std::string_view text) {
  text = platform::Trim(text, platform::kSpaces);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  // Only digits or a decimal point may start the number: this keeps out "inf", "nan" and hex.
  if (text.empty() || !(IsDigit(text.front()) || text.front() == '.')) return std::nullopt;
  // Sizes are plain digits nearly always; read them without the general conversion.
  if (text.size() <= 15 && text.find_first_not_of("0123456789") == std::string_view::npos) {
    double value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return negative ? -value : value;
  }
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value))
    return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> ParseDigits(std::string_view text) {
  if (text.empty() || text.size() > 9) return std::nullopt;
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) return std::nullopt;
    value = value * 10 + (c - '0');
  }
  return value;
}

std::string LogExcerpt(std::string_view text, std::size_t max_bytes, bool keep_line_breaks) {
  std::size_t cut = text.size();
  if (cut > max_bytes) {
    cut = max_bytes;
    // Step back over UTF-8 continuation bytes so that no character is split.
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) --cut;
  }
  std::string out(text.substr(0, cut));
  for (char& c : out) {
    const auto byte = static_cast<unsigned char>(c);
    const bool line_break = c == '\r' || c == '\n';
    if ((byte < 0x20 || byte == 0x7F) && !(keep_line_breaks && line_break)) c = '?';
  }
  if (cut < text.size()) out += "...(" + std::to_string(text.size() - cut) + " more bytes)";
  return out;
}

}  // namespace tarvik::listing_text
