#include "ftp/listing/listing_lines.h"

#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_text.h"

namespace tarvik {

std::size_t GetDateStartPosition(std::string_view line) {
  // i is the blank before the month; the line must hold the digit at i + 9.
  for (std::size_t i = 1; i + 9 < line.size(); ++i) {
    if (line[i] != ' ' || line[i + 4] != ' ') continue;
    if (!listing_text::IsDigit(line[i - 1]) || !listing_text::IsDigit(line[i + 9])) continue;
    if (MonthNumber(line.substr(i + 1, 3)) != 0) return i + 2;  // 1-based position of the month
  }
  return 0;
}

FactLineParts SplitFactLine(std::string_view line) {
  line = listing_text::TrimLeadingSpaces(line);
  const std::string_view word = line.substr(0, line.find(' '));
  const std::size_t last = word.rfind(';');
  if (last == std::string_view::npos) return {{}, line};
  const std::string_view rest = line.substr(last + 1);
  if (!rest.empty() && rest.front() == ' ') return {line.substr(0, last + 1), rest.substr(1)};
  return {line.substr(0, last + 1), listing_text::TrimSpaces(rest)};
}

bool IsFactLine(std::string_view line) {
  const std::string_view facts = SplitFactLine(line).facts;
  return !facts.empty() &&
         (listing_text::FindLowerAscii(facts, "type=") == 0 ||
          listing_text::FindLowerAscii(facts, ";type=") != std::string_view::npos);
}

}  // namespace tarvik
