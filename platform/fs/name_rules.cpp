#include "platform/fs/name_rules.h"

#include <vector>

namespace tarvik::platform {
namespace {

// Decodes the code point at `pos` and advances `pos`. A malformed byte is returned as itself
// (0x80..0xFF), which keeps every input comparable.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  std::size_t length = lead < 0x80 ? 1 : lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return lead;
  }
  char32_t value = length == 1 ? lead : lead & (0x7Fu >> length);
  for (std::size_t i = 1; i < length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if ((byte & 0xC0) != 0x80) {
      ++pos;
      return lead;
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
  if (c >= 0x100 && c <= 0x17F) {                 // Latin Extended-A: pairs capital, small
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

std::u32string FoldedCodePoints(std::string_view text) {
  std::u32string out;
  out.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) out += FoldCodePoint(NextCodePoint(text, pos));
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

std::string FoldCase(std::string_view name) {
  std::string out;
  out.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size();) {
    const std::size_t start = pos;
    const char32_t c = NextCodePoint(name, pos);
    const char32_t folded = FoldCodePoint(c);
    if (folded == c)
      out.append(name.substr(start, pos - start));  // keeps malformed bytes as they were
    else
      AppendUtf8(out, folded);
  }
  return out;
}

bool NamesEqualIgnoringCase(std::string_view a, std::string_view b) {
  return FoldedCodePoints(a) == FoldedCodePoints(b);
}

bool HasWildcards(std::string_view name) { return name.find_first_of("*?") != name.npos; }

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") pattern = "*";
  const std::u32string text = FoldedCodePoints(name);
  const std::u32string wild = FoldedCodePoints(pattern);
  // Iterative matching with one backtrack point for the last "*": linear in practice.
  std::size_t t = 0, w = 0, star = std::u32string::npos, resume = 0;
  while (t < text.size()) {
    if (w < wild.size() && (wild[w] == U'?' || (wild[w] != U'*' && wild[w] == text[t]))) {
      ++t;
      ++w;
    } else if (w < wild.size() && wild[w] == U'*') {
      star = w++;
      resume = t;
    } else if (star != std::u32string::npos) {
      w = star + 1;
      t = ++resume;
    } else {
      return false;
    }
  }
  while (w < wild.size() && wild[w] == U'*') ++w;
  return w == wild.size();
}

bool IsValidEntryName(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20) return false;
    if (std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos) return false;
  }
  return true;
}

bool IsHiddenName(std::string_view name) {
  return name.size() > 1 && name[0] == '.' && name != "..";
}

}  // namespace tarvik::platform
