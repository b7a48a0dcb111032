// DOS/IIS listing lines (date, time, "<DIR>" or the size, name):
//   "01-05-19  12:30PM       <DIR>          name"
//   "01-05-19  12:30PM                 1234 name with blanks"
//   "2002-09-02  03:09 PM            1,234 name"          (ISO date, a blank before PM, grouping)
//   "01-05-2019  13:30       <JUNCTION>     link -> target"
// At the standard columns (the name 22 characters after the time, the size ending just before
// it) the name keeps its leading blanks; at other widths it begins at the first character after
// the size. It keeps its trailing blanks.
#include <string>

#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "platform/text/ascii_text.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

// Characters from the end of the time to the name at the standard column widths.
constexpr std::size_t kStandardNameOffset = 22;

// A size with optional thousands separators ("1,234,567", "1.234.567"); nullopt for anything
// else, a sign included.
std::optional<double> ReadGroupedSize(std::string_view word) {
  if (word.empty() || !listing_text::IsDigit(word.front())) return std::nullopt;
  double value = 0;
  std::size_t group = 0;  // digits since the last separator
  bool grouped = false;
  for (char c : word) {
    if (listing_text::IsDigit(c)) {
      value = value * 10 + (c - '0');
      ++group;
    } else if ((c == ',' || c == '.') && (grouped ? group == 3 : group <= 3)) {
      grouped = true;
      group = 0;
    } else {
      return std::nullopt;
    }
  }
  if (grouped && group != 3) return std::nullopt;
  return value;
}

bool IsDesignator(std::string_view word) {
  return listing_text::EqualsLowerAscii(word, "am") || listing_text::EqualsLowerAscii(word, "pm");
}

void LogUnreadLine(const ListingLineContext& context, std::string_view reason,
                   std::string_view line) {
  context.diagnostics.WriteLog(
      "FormatFileList:Err(" + std::to_string(kInvalidDateError) + "#" + std::string(reason) +
      ")\r\n" + listing_text::LogExcerpt(line, 1024, false) + "\r\n-------------------\r\n");
}

// A junction's or link's name and target: "name -> target" or "name [target]".
void SplitLink(std::string_view& name, CFtpFile& entry) {
  std::size_t at = name.find(" -> ");
  std::size_t target = at + 4;
  if (at == std::string_view::npos && !name.empty() && name.back() == ']') {
    at = name.rfind(" [");
    target = at + 2;
    if (at != std::string_view::npos) name.remove_suffix(1);
  }
  if (at == std::string_view::npos) return;
  entry.SetLinkTarget(std::string(name.substr(target)));
  name = name.substr(0, at);
}

}  // namespace

LineRead ParseDosLine(std::string_view line, const ListingWords& words,
                      const ListingLineContext& context, CFtpFile& entry) {
  auto date = MatchListingDate(words, 0);
  std::size_t next = date ? date->next_word : 0;
  if (date && date->has_time && date->designator == 0 && IsDesignator(words[next].text)) {
    date->designator = platform::LowerAscii(words[next].text.front()) == 'a' ? 'A' : 'P';
    ++next;
  }
  const auto time =
      date && date->has_time ? ResolveListingDate(*date, context.today) : std::nullopt;
  if (!time) {
    LogUnreadLine(context,
                  "Invalid date [" + listing_text::LogExcerpt(words[0].text, 64, false) + " " +
                      listing_text::LogExcerpt(words[1].text, 64, false) + "]",
                  line);
    return LineRead::kUnreadable;
  }

  const ListingWord& column = words[next];
  const bool link = listing_text::EqualsLowerAscii(column.text, "<junction>") ||
                    listing_text::EqualsLowerAscii(column.text, "<symlink>") ||
                    listing_text::EqualsLowerAscii(column.text, "<symlinkd>");
  if (listing_text::EqualsLowerAscii(column.text, "<dir>")) {
    entry.SetIsDirectory(true);
  } else if (!link) {
    const auto size = ReadGroupedSize(column.text);
    if (!size) {
      LogUnreadLine(
          context,
          "Size column is not a number [" + listing_text::LogExcerpt(column.text, 64, false) + "]",
          line);
      return LineRead::kUnreadable;
    }
    entry.SetFileSize(*size);
  }

  const std::size_t standard = words[next - 1].end + kStandardNameOffset;
  std::size_t name_start = line.find_first_not_of(" \t", column.end);
  if (standard > column.end && standard < line.size() &&
      line.find_first_not_of(' ', column.end) >= standard)
    name_start = standard;
  if (column.text.empty() || name_start >= line.size()) return LineRead::kNoEntry;
  std::string_view name = line.substr(name_start);
  if (link) SplitLink(name, entry);
  entry.SetFileName(std::string(name));
  entry.SetLastWriteTime(platform::GeneralDateText(*time));
  return LineRead::kEntry;
}

}  // namespace tarvik
