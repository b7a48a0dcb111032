#include "platform/time/date_format.h"

#include <array>
#include <cstdlib>
#include <mutex>
#include <optional>

namespace tarvik::platform {
namespace {

constexpr std::array<std::string_view, 12> kMonthNames = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December"};
constexpr std::array<std::string_view, 7> kDayNames = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                       "Thursday", "Friday", "Saturday"};

struct Patterns {
  std::string short_date;
  std::string long_time;
};

std::string FromEnvironment(const char* name, std::string_view fallback) {
  const char* value = std::getenv(name);
  return value != nullptr && *value != '\0' ? std::string(value) : std::string(fallback);
}

std::mutex& PatternsMutex() {
  static std::mutex mutex;
  return mutex;
}

// Read on first use and then kept, as a locale query would be cached.
Patterns& CurrentPatterns() {
  static Patterns patterns{FromEnvironment("TARVIK_SHORT_DATE", kDefaultShortDatePattern),
                           FromEnvironment("TARVIK_LONG_TIME", kDefaultLongTimePattern)};
  return patterns;
}

void AppendNumber(std::string& out, int value, std::size_t min_digits) {
  std::string digits = std::to_string(value);
  if (digits.size() < min_digits) out.append(min_digits - digits.size(), '0');
  out += digits;
}

std::string_view Name(std::string_view name, std::size_t count) {
  return count == 3 ? name.substr(0, 3) : name;
}

void AppendField(std::string& out, char letter, std::size_t count, const SystemTime& time) {
  const std::size_t width = count >= 2 ? 2 : 1;
  const int hour12 = time.hour % 12 == 0 ? 12 : time.hour % 12;
  switch (letter) {
    case 'd':
      if (count >= 3 && IsValidSystemTime(time))
        out += Name(kDayNames[static_cast<std::size_t>(DayOfWeek(time))], count);
      else
        AppendNumber(out, time.day, width);
      return;
    case 'M':
      if (count >= 3 && time.month >= 1 && time.month <= 12)
        out += Name(kMonthNames[static_cast<std::size_t>(time.month - 1)], count);
      else
        AppendNumber(out, time.month, width);
      return;
    case 'y':
      if (count >= 3)
        AppendNumber(out, time.year, 4);
      else
        AppendNumber(out, time.year % 100, width);
      return;
    case 'h':
      AppendNumber(out, hour12, width);
      return;
    case 'H':
      AppendNumber(out, time.hour, width);
      return;
    case 'm':
      AppendNumber(out, time.minute, width);
      return;
    case 's':
      AppendNumber(out, time.second, width);
      return;
    case 't':
      out += (time.hour < 12 ? std::string_view("AM") : "PM").substr(0, width);
      return;
    default:
      out.append(count, letter);
      return;
  }
}

bool IsFieldLetter(char c) {
  return c == 'd' || c == 'M' || c == 'y' || c == 'h' || c == 'H' || c == 'm' || c == 's' ||
         c == 't';
}

}  // namespace

std::string ShortDatePattern() {
  std::lock_guard lock(PatternsMutex());
  return CurrentPatterns().short_date;
}

std::string LongTimePattern() {
  std::lock_guard lock(PatternsMutex());
  return CurrentPatterns().long_time;
}

void SetDatePatterns(std::string_view short_date, std::string_view long_time) {
  std::lock_guard lock(PatternsMutex());
  Patterns& patterns = CurrentPatterns();
  patterns.short_date = short_date.empty()
                            ? FromEnvironment("TARVIK_SHORT_DATE", kDefaultShortDatePattern)
                            : std::string(short_date);
  patterns.long_time = long_time.empty()
                           ? FromEnvironment("TARVIK_LONG_TIME", kDefaultLongTimePattern)
                           : std::string(long_time);
}

std::string FormatDateTime(const SystemTime& time, std::string_view pattern) {
  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    const char c = pattern[i];
    if (c == '\'') {  // quoted literal; '' inside or outside quotes is one quote
      ++i;
      if (i < pattern.size() && pattern[i] == '\'') {
        out += '\'';
        ++i;
        continue;
      }
      while (i < pattern.size()) {
        if (pattern[i] == '\'') {
          if (i + 1 < pattern.size() && pattern[i + 1] == '\'') {
            out += '\'';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        out += pattern[i++];
      }
      continue;
    }
    std::size_t count = 1;
    while (i + count < pattern.size() && pattern[i + count] == c) ++count;
    if (IsFieldLetter(c))
      AppendField(out, c, count, time);
    else
      out.append(count, c);
    i += count;
  }
  return out;
}

std::string ShortDateText(const SystemTime& time) {
  return FormatDateTime(time, ShortDatePattern());
}

std::string LongTimeText(const SystemTime& time) {
  return FormatDateTime(time, LongTimePattern());
}

std::string GeneralDateText(const SystemTime& time) {
  const bool midnight = time.hour == 0 && time.minute == 0 && time.second == 0;
  if (IsZeroDate(time)) return LongTimeText(time);
  if (midnight) return ShortDateText(time);
  return ShortDateText(time) + " " + LongTimeText(time);
}

}  // namespace tarvik::platform
