// DOS/IIS listing lines (month-day-year, time, "<DIR>" or the size, name):
//   "01-05-19  12:30PM       <DIR>          name"
//   "01-05-19  12:30PM                 1234 name with blanks"
//   "01-05-2019  13:30                 1234 name"          (four-digit year, 24-hour clock)
#include <array>
#include <string>

#include "ftp/listing/listing_dates.h"
#include "ftp/listing/listing_lines.h"
#include "ftp/listing/listing_text.h"
#include "platform/time/date_format.h"

namespace tarvik {
namespace {

// The first three words of a trimmed line (date, time, "<DIR>" or size); empty when absent.
std::array<std::string_view, 3> FirstWords(std::string_view line) {
  std::array<std::string_view, 3> words;
  std::size_t start = 0;
  for (std::string_view& word : words) {
    if (start >= line.size()) break;
    const std::size_t blank = line.find(' ', start);
    word = line.substr(start, blank - start);
    if (blank == std::string_view::npos) break;
    start = line.find_first_not_of(' ', blank);
    if (start == std::string_view::npos) break;
  }
  return words;
}

// The year text of a date word "MM-DD-YY" or "MM-DD-YYYY"; empty when unreadable. Two digits yy
// are placed by the current century c: yy <= c + 10 gives c followed by yy, a larger yy gives
// c - 1 followed by yy (in 2026: 30 is 2030, 31 is 1931).
std::string YearText(std::string_view date, int current_year) {
  const std::string_view four = date.size() >= 10 ? date.substr(6, 4) : std::string_view();
  if (four.size() == 4 && listing_text::ParseDigits(four)) return std::string(four);
  const std::string_view two = date.size() >= 8 ? date.substr(6, 2) : std::string_view();
  const auto yy = listing_text::ParseDigits(two);
  if (!yy || two.size() != 2) return {};
  const int century = current_year / 100;
  return std::to_string(*yy <= century + 10 ? century : century - 1) + std::string(two);
}

std::optional<platform::SystemTime> ReadDosDate(std::string_view date, std::string_view time,
                                                int current_year) {
  if (date.size() < 8) return std::nullopt;
  auto result =
      ComposeLocalDate(YearText(date, current_year), date.substr(0, 2), date.substr(3, 2));
  const auto time_of_day = platform::ParseTimeOfDay(time);
  if (!result || !time_of_day) return std::nullopt;
  result->hour = time_of_day->hour;
  result->minute = time_of_day->minute;
  result->second = time_of_day->second;
  return result;
}

}  // namespace

bool ParseDosLine(std::string_view line, const ListingLineContext& context, CFtpFile& entry) {
  line = listing_text::TrimSpaces(line);
  const auto words = FirstWords(line);

  std::string_view name;
  const std::size_t dir = listing_text::FindLowerAscii(line, "<dir>");
  if (dir != std::string_view::npos) {
    entry.SetIsDirectory(true);
    // After "<DIR>" and the one character that follows it.
    if (dir + 6 <= line.size()) name = line.substr(dir + 6);
  } else {
    if (const auto size = listing_text::ParseNumber(words[2])) entry.SetFileSize(*size);
    // The name follows the first " size " of the line; a line without it has no name.
    if (!words[2].empty()) {
      const std::string marker = " " + std::string(words[2]) + " ";
      const std::size_t at = line.find(marker);
      if (at != std::string_view::npos) name = line.substr(at + marker.size());
    }
  }
  entry.SetFileName(std::string(listing_text::TrimSpaces(name)));

  const auto date = ReadDosDate(words[0], words[1], context.today.year);
  if (!date) {
    context.diagnostics.WriteLog("FormatFileList:Err(" + std::to_string(kInvalidDateError) +
                                 "#Invalid date [" + listing_text::LogExcerpt(words[0], 64, false) +
                                 " " + listing_text::LogExcerpt(words[1], 64, false) + "])\r\n" +
                                 listing_text::LogExcerpt(line, 1024, false) +
                                 "\r\n-------------------\r\n");
    return false;
  }
  entry.SetLastWriteTime(platform::GeneralDateText(*date));
  return true;
}

}  // namespace tarvik
