#include "platform/text/case_fold.h"

namespace tarvik::platform {
namespace {

// Stands for malformed byte b as kMalformedBase + b: outside Unicode, so it never folds and never
// equals a character.
constexpr char32_t kMalformedBase = 0x110000;

// Decodes the code point at `pos` and advances `pos`.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  const std::size_t length = lead < 0x80    ? 1
                             : lead >= 0xF8 ? 0
                             : lead >= 0xF0 ? 4
                             : lead >= 0xE0 ? 3
                             : lead >= 0xC2 ? 2
                                            : 0;
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return kMalformedBase + lead;
  }
  char32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if ((byte & 0xC0) != 0x80) {
      ++pos;
      return kMalformedBase + lead;
    }
    value = (value << 6) | (byte & 0x3Fu);
  }
  pos += length;
  return value;
}

char32_t FoldCodePoint(char32_t c) {
  if (c >= U'A' && c <= U'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE) return c == 0xD7 ? c : c + 32;  // Latin-1 capitals, not the multiplication sign
  if (c >= 0x100 && c <= 0x17F) {                // Latin Extended-A: pairs of capital, small
    if (c == 0x178) return 0xFF;
    const bool odd_capitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    const bool capital = odd_capitals ? (c % 2 == 1) : (c % 2 == 0 && c != 0x138);
    return capital && c != 0x130 && c != 0x149 && c != 0x17F ? c + 1 : c;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 32;                // Cyrillic
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {  // folding never leaves the basic plane
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string FoldCase(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(text, pos);
    const char32_t folded = FoldCodePoint(c);
    if (folded == c)
      out.append(text.substr(start, pos - start));
    else
      AppendUtf8(out, folded);
  }
  return out;
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const char32_t x = FoldCodePoint(NextCodePoint(a, i));
    const char32_t y = FoldCodePoint(NextCodePoint(b, j));
    if (x != y) return x < y ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

std::u32string FoldedCodePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) out += FoldCodePoint(NextCodePoint(text, pos));
  return out;
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return CompareIgnoreCase(a, b) == 0;
}

}  // namespace tarvik::platform
