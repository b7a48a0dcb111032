// Unix long-listing lines:
//   "drwxr-xr-x   2 owner group  4096 Jan 05  2019 name"
//   "-rw-r--r--   1 owner         10 Dec 31 23:59 name with blanks"   (no group column)
//   "lrwxrwxrwx   1 owner group     7 Jan 05 12:30 link -> target"
//   "crw-rw-rw-   1 root  root   1,  3 Jan 05 12:30 null"             (a device: major, minor)
//   "-rw-r--r--   1 owner longgroup123456 Jan 05 12:30 name"          (group glued to the size)
// The date is found by its words (listing_dates.h: month names of many languages, day before
// month, numeric and CJK dates) after the first word that can be a size; the name is what
// follows the date's last word and one blank, with its own leading and trailing blanks.
#include <string>

#include "core/errors/numbered_error.h"
#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "platform/text/ascii_text.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

bool AllDigits(std::string_view text) {
  for (char c : text) {
    if (!listing_text::IsDigit(c)) return false;
  }
  return !text.empty();
}

// The value of a word of digits.
double DigitsValue(std::string_view digits) {
  double value = 0;
  for (char c : digits) value = value * 10 + (c - '0');
  return value;
}

// The size column, read from the word just before the date.
struct SizeColumn {
  double size = 0;
  std::size_t first_word = 0;    // index of its first word; the owner columns come before
  std::string_view glued_group;  // "longgroup" of "longgroup123456"
};

// The size column ending with words[last], or nullopt when that word cannot end one.
std::optional<SizeColumn> ReadSizeColumn(const ListingWords& words, std::size_t last) {
  const std::string_view word = words[last].text;
  SizeColumn column;
  column.first_word = last;
  if (AllDigits(word)) {
    // A device's "major, minor" counts as no size.
    const std::string_view before = last >= 2 ? words[last - 1].text : std::string_view();
    if (before.size() >= 2 && before.back() == ',' &&
        AllDigits(before.substr(0, before.size() - 1))) {
      column.first_word = last - 1;
      return column;
    }
    column.size = DigitsValue(word);
    return column;
  }
  std::size_t digits = word.size();  // where the digits at the end begin
  while (digits > 0 && listing_text::IsDigit(word[digits - 1])) --digits;
  if (digits == 0 || digits == word.size()) return std::nullopt;
  if (word[digits - 1] == ',') {
    if (!AllDigits(word.substr(0, digits - 1))) return std::nullopt;
    return column;  // "1,3": a device
  }
  // A glued group begins with a letter ("1x0" is no size).
  const char lead = platform::LowerAscii(word.front());
  if (lead < 'a' || lead > 'z') return std::nullopt;
  column.glued_group = word.substr(0, digits);
  column.size = DigitsValue(word.substr(digits));
  return column;
}

// Link count, owner and group from the words between the mode and the size. The link count is
// the first of them when it is a number; a number glued to letters there ("1owner") is no
// column this parser can read.
void ReadOwnerColumns(const ListingWords& words, const SizeColumn& size, CFtpFile& entry) {
  std::size_t first = 1;
  const std::size_t end = size.first_word;
  if (first < end && listing_text::IsDigit(words[first].text.front())) {
    if (!AllDigits(words[first].text))
      Raise(kBadListingColumn, "Link count glued to the owner [" +
                                   listing_text::LogExcerpt(words[first].text, 64, false) + "]");
    ++first;
  }
  if (first < end) entry.SetOwner(std::string(words[first].text));
  if (!size.glued_group.empty())
    entry.SetGroup(std::string(size.glued_group));
  else if (first + 1 < end)
    entry.SetGroup(std::string(words[end - 1].text));
}

// Splits a link's name from its target at " -> ". Of several arrows, the one whose target is as
// long as the listed size wins (a link's size is the length of its target), else the first.
void SplitLink(std::string_view& name, double size, CFtpFile& entry) {
  constexpr std::string_view kArrow = " -> ";
  std::size_t arrow = name.find(kArrow);
  if (arrow == std::string_view::npos) return;
  entry.SetIsLink(true);
  for (std::size_t at = arrow; at != std::string_view::npos; at = name.find(kArrow, at + 1)) {
    if (static_cast<double>(name.size() - at - kArrow.size()) == size) {
      arrow = at;
      break;
    }
  }
  entry.SetLinkTarget(std::string(name.substr(arrow + kArrow.size())));
  name = name.substr(0, arrow);
}

}  // namespace

LineRead ParseUnixLine(std::string_view line, const ListingWords& words,
                       const ListingLineContext& context, CFtpFile& entry) {
  const std::string_view mode = words[0].text;
  std::optional<SizeColumn> size;
  std::optional<ListingDateWords> date;
  std::size_t date_word = 2;
  for (; !words[date_word].text.empty(); ++date_word) {
    size = ReadSizeColumn(words, date_word - 1);
    if (size && (date = MatchListingDate(words, date_word))) break;
  }
  if (!date) Raise(kBadListingColumn, "No size and date columns");

  const auto time = ResolveListingDate(*date, context.today);
  if (!time) {
    const std::size_t from = words[date_word].end - words[date_word].text.size();
    const std::size_t to = words[date->next_word - 1].end;
    context.diagnostics.ReportError(
        kGetDateXProcedure, kInvalidDateError,
        "Invalid date [" + listing_text::LogExcerpt(line.substr(from, to - from), 64, false) + "]");
    return LineRead::kUnreadable;
  }
  entry.SetLastWriteTime(platform::GeneralDateText(*time));
  entry.SetIsDirectory(mode.front() == 'd');
  entry.SetFileSize(size->size);
  entry.SetPermissions(std::string(mode));
  ReadOwnerColumns(words, *size, entry);

  const std::size_t name_start = words[date->next_word - 1].end + 1;
  if (name_start >= line.size()) return LineRead::kNoEntry;
  std::string_view name = line.substr(name_start);
  // A link's name stops before its target; so does a folder's, where a server marks a link to a
  // folder as one. Another entry keeps an arrow in its name.
  entry.SetIsLink(mode.front() == 'l');
  if (mode.front() == 'l' || mode.front() == 'd') SplitLink(name, size->size, entry);
  entry.SetFileName(std::string(name));
  return LineRead::kEntry;
}

}  // namespace tarvik
