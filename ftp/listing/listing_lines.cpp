#include "ftp/listing/listing_lines.h"

#include <array>

#include "ftp/listing/listing_text.h"

namespace tarvik {
namespace {

constexpr std::array<std::string_view, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                      "jul", "aug", "sep", "oct", "nov", "dec"};

bool IsMonthName(std::string_view text) {
  for (std::string_view month : kMonths) {
    if (listing_text::EqualsLowerAscii(text, month)) return true;
  }
  return false;
}

// The fact list of a fact line: its first word when that ends in ";" (the name follows a blank).
std::string_view FirstWord(std::string_view line) {
  line = listing_text::TrimLeadingSpaces(line);
  return line.substr(0, line.find(' '));
}

}  // namespace

std::size_t GetDateStartPosition(std::string_view line) {
  // i is the blank before the month; the line must hold the digit at i + 9.
  for (std::size_t i = 1; i + 9 < line.size(); ++i) {
    if (line[i] != ' ' || line[i + 4] != ' ') continue;
    if (!listing_text::IsDigit(line[i - 1]) || !listing_text::IsDigit(line[i + 9])) continue;
    if (IsMonthName(line.substr(i + 1, 3))) return i + 2;  // 1-based position of the month
  }
  return 0;
}

ListingLineFormat ChooseLineFormat(std::string_view line, std::size_t date_position) {
  // Facts come first: a mode string never holds "type=", while a file name may look like a date.
  const std::string_view facts = FirstWord(line);
  if (!facts.empty() && facts.back() == ';' &&
      (listing_text::FindLowerAscii(facts, "type=") == 0 ||
       listing_text::FindLowerAscii(facts, ";type=") != std::string_view::npos))
    return ListingLineFormat::kFacts;
  if (date_position > 10) return ListingLineFormat::kUnix;
  return ListingLineFormat::kDos;
}

}  // namespace tarvik
