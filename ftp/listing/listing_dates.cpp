#include "ftp/listing/listing_dates.h"

#include <array>
#include <chrono>
#include <string>

#include "ftp/listing/listing_text.h"

namespace tarvik {
namespace {

using platform::SystemTime;

// Days since the epoch of a year, month and day; a day past the month's end counts on into the
// next month (31 February is 3 March), so that any day 1..31 compares sensibly.
std::chrono::sys_days DayNumber(int year, int month, int day) {
  using namespace std::chrono;
  return sys_days{std::chrono::year{year} / std::chrono::month{static_cast<unsigned>(month)} / 1} +
         days{day - 1};
}

// The column with each double blank made single, in one pass: "Jan  5  2019" -> "Jan 5 2019".
std::string SingleBlanks(std::string_view column) {
  std::string out;
  out.reserve(column.size());
  for (std::size_t i = 0; i < column.size(); ++i) {
    out += column[i];
    if (column[i] == ' ' && i + 1 < column.size() && column[i + 1] == ' ') ++i;
  }
  return out;
}

}  // namespace

int MonthNumber(std::string_view name) {
  if (name.size() != 3) return 0;
  // The three letters, folded to lower case, as one number; compared with each month's.
  const auto key = [](char a, char b, char c) {
    return (static_cast<unsigned>(static_cast<unsigned char>(a)) << 16) |
           (static_cast<unsigned>(static_cast<unsigned char>(b)) << 8) |
           static_cast<unsigned>(static_cast<unsigned char>(c));
  };
  static constexpr std::array<const char*, 12> kMonths = {"jan", "feb", "mar", "apr", "may", "jun",
                                                          "jul", "aug", "sep", "oct", "nov", "dec"};
  const unsigned wanted = key(listing_text::LowerAscii(name[0]), listing_text::LowerAscii(name[1]),
                              listing_text::LowerAscii(name[2]));
  for (std::size_t i = 0; i < kMonths.size(); ++i) {
    if (key(kMonths[i][0], kMonths[i][1], kMonths[i][2]) == wanted) return static_cast<int>(i) + 1;
  }
  return 0;
}

std::optional<SystemTime> ComposeLocalDate(std::string_view year, std::string_view month,
                                           std::string_view day) {
  const auto y = listing_text::ParseDigits(listing_text::TrimSpaces(year));
  const auto m = listing_text::ParseDigits(listing_text::TrimSpaces(month));
  const auto d = listing_text::ParseDigits(listing_text::TrimSpaces(day));
  if (!y || !m || !d) return std::nullopt;
  SystemTime date;
  date.year = *y;
  date.month = *m;
  date.day = *d;
  if (!platform::IsValidSystemTime(date)) return std::nullopt;
  return date;
}

std::optional<SystemTime> ReadUnixDateColumn(std::string_view column, const SystemTime& today) {
  const std::string text = SingleBlanks(column);
  const std::string_view view(text);
  if (view.size() < 5) return std::nullopt;
  const int month = MonthNumber(view.substr(0, 3));
  const std::string_view day_text = listing_text::TrimTrailingSpaces(view.substr(4, 2));
  const std::string_view last =
      listing_text::TrimLeadingSpaces(view.substr(view.size() >= 5 ? view.size() - 5 : 0));
  const auto day = listing_text::ParseDigits(day_text);
  if (month == 0 || !day || *day < 1 || *day > 31) return std::nullopt;

  SystemTime result;
  if (last.find(':') != std::string_view::npos) {
    const auto time = platform::ParseTimeOfDay(last);
    if (!time) return std::nullopt;
    int year = today.year;
    if (DayNumber(year, month, *day) >
        DayNumber(today.year, today.month, today.day) + std::chrono::days{2})
      --year;
    result = *time;
    result.year = year;
  } else {
    const auto year = listing_text::ParseDigits(last);
    if (!year) return std::nullopt;
    result.year = *year;  // the time stays midnight
  }
  result.month = month;
  result.day = *day;
  result.milliseconds = 0;
  if (!platform::IsValidSystemTime(result)) return std::nullopt;
  return result;
}

SystemTime GetDateX(std::string_view column, const SystemTime& today,
                    ListingDiagnostics& diagnostics) {
  if (auto date = ReadUnixDateColumn(column, today)) return *date;
  diagnostics.ReportError(kGetDateXProcedure, kInvalidDateError,
                          "Invalid date [" + listing_text::LogExcerpt(column, 64, false) + "]");
  return SystemTime{};
}

std::optional<SystemTime> GetMLSDFileTime(std::string_view value) {
  value = listing_text::TrimSpaces(value);
  value = value.substr(0, value.find('.'));
  if (value.size() > 14) value = value.substr(0, 14);
  if (value.size() != 14) return std::nullopt;
  auto utc = ComposeLocalDate(value.substr(0, 4), value.substr(4, 2), value.substr(6, 2));
  const auto hour = listing_text::ParseDigits(value.substr(8, 2));
  const auto minute = listing_text::ParseDigits(value.substr(10, 2));
  const auto second = listing_text::ParseDigits(value.substr(12, 2));
  if (!utc || !hour || !minute || !second) return std::nullopt;
  utc->hour = *hour;
  utc->minute = *minute;
  utc->second = *second;
  return platform::UtcToLocal(*utc);
}

}  // namespace tarvik
