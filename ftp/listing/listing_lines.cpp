#include "ftp/listing/listing_lines.h"

#include <algorithm>
#include <array>

#include "ftp/listing/listing_text.h"

namespace tarvik {
namespace {

bool IsFactNameCharacter(char c) {
  return listing_text::IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
         c == '-' || c == '_';
}

// True when every ";"-separated part of `facts` is "name=value" with a name of letters, digits,
// ".", "-" or "_"; at least one part.
bool IsFactList(std::string_view facts) {
  bool any = false;
  while (!facts.empty()) {
    const std::size_t end = facts.find(';');
    const std::string_view fact = facts.substr(0, end);
    const std::size_t equals = fact.find('=');
    if (equals == 0 || equals == std::string_view::npos) return false;
    for (char c : fact.substr(0, equals)) {
      if (!IsFactNameCharacter(c)) return false;
    }
    any = true;
    facts = end == std::string_view::npos ? std::string_view() : facts.substr(end + 1);
  }
  return any;
}

}  // namespace

FactLineParts SplitFactLine(std::string_view line) {
  if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
  std::size_t blank = line.find(' ');
  blank = std::min(blank, line.substr(0, blank).find('\t'));
  const std::string_view word = line.substr(0, blank);
  const std::string_view after_blank =
      blank == std::string_view::npos ? std::string_view() : line.substr(blank + 1);
  const std::size_t last = word.rfind(';');
  FactLineParts parts{word, after_blank};
  // Text after the last ";" that is no fact begins the name ("type=file;name").
  if (last != std::string_view::npos && last + 1 < word.size() &&
      word.find('=', last) == std::string_view::npos)
    parts = {word.substr(0, last + 1), line.substr(last + 1)};
  if (!IsFactList(parts.facts)) return {{}, line};
  return parts;
}

bool IsUnixMode(std::string_view word) {
  // The letters allowed at each place, as bits of one table: 1 type, 2 permission, 4 mark.
  static constexpr auto kAllowed = [] {
    std::array<unsigned char, 256> table{};
    for (char c : std::string_view("-dlcbpsD")) table[static_cast<unsigned char>(c)] |= 1;
    for (char c : std::string_view("rwxsStTlL-")) table[static_cast<unsigned char>(c)] |= 2;
    for (char c : std::string_view("+.@")) table[static_cast<unsigned char>(c)] |= 4;
    return table;
  }();
  const auto allowed = [&](std::size_t i, unsigned char bit) {
    return (kAllowed[static_cast<unsigned char>(word[i])] & bit) != 0;
  };
  if (word.size() < 10 || word.size() > 11 || !allowed(0, 1)) return false;
  for (std::size_t i = 1; i < 10; ++i) {
    if (!allowed(i, 2)) return false;
  }
  return word.size() == 10 || allowed(10, 4);
}

}  // namespace tarvik
