#include "platform/time/local_time.h"

#include <cmath>
#include <optional>

#include "platform/text/ascii_text.h"
#include "platform/time/clock.h"
#include "platform/time/time_zone.h"

namespace tarvik::platform {
namespace {

using std::chrono::system_clock;

constexpr std::chrono::sys_days kZeroDate =
    std::chrono::sys_days{std::chrono::year{1899} / std::chrono::December / 30};
constexpr double kMsPerDay = 86'400'000.0;

std::chrono::sys_days DaysOf(const SystemTime& time) {
  return std::chrono::sys_days{std::chrono::year{time.year} /
                               std::chrono::month{static_cast<unsigned>(time.month)} /
                               std::chrono::day{static_cast<unsigned>(time.day)}};
}

std::chrono::milliseconds TimeOfDayOf(const SystemTime& time) {
  return std::chrono::hours{time.hour} + std::chrono::minutes{time.minute} +
         std::chrono::seconds{time.second} + std::chrono::milliseconds{time.milliseconds};
}

SystemTime FromDaysAndMs(std::chrono::sys_days days, std::int64_t ms_of_day) {
  const std::chrono::year_month_day ymd{days};
  SystemTime result;
  result.year = static_cast<int>(ymd.year());
  result.month = static_cast<int>(static_cast<unsigned>(ymd.month()));
  result.day = static_cast<int>(static_cast<unsigned>(ymd.day()));
  result.hour = static_cast<int>(ms_of_day / 3'600'000);
  result.minute = static_cast<int>(ms_of_day / 60'000 % 60);
  result.second = static_cast<int>(ms_of_day / 1000 % 60);
  result.milliseconds = static_cast<int>(ms_of_day % 1000);
  return result;
}

// Reads one to `max_digits` decimal digits at `pos`; advances `pos`.
std::optional<int> ReadNumber(std::string_view text, std::size_t& pos, std::size_t max_digits) {
  int value = 0;
  std::size_t digits = 0;
  while (pos < text.size() && digits < max_digits && text[pos] >= '0' && text[pos] <= '9') {
    value = value * 10 + (text[pos] - '0');
    ++pos;
    ++digits;
  }
  if (digits == 0) return std::nullopt;
  return value;
}

}  // namespace

SystemTime UtcTimeAt(TimePoint point) {
  const auto days = std::chrono::floor<std::chrono::days>(point);
  return FromDaysAndMs(days, (point - days).count());
}

bool IsValidSystemTime(const SystemTime& time) {
  if (time.year < 100 || time.year > 9999 || time.month < 1 || time.month > 12 || time.day < 1 ||
      time.day > 31)
    return false;
  const std::chrono::year_month_day ymd{std::chrono::year{time.year} /
                                        std::chrono::month{static_cast<unsigned>(time.month)} /
                                        std::chrono::day{static_cast<unsigned>(time.day)}};
  return ymd.ok() && time.hour >= 0 && time.hour <= 23 && time.minute >= 0 && time.minute <= 59 &&
         time.second >= 0 && time.second <= 59 && time.milliseconds >= 0 &&
         time.milliseconds <= 999;
}

bool IsZeroDate(const SystemTime& time) {
  return time.year == 1899 && time.month == 12 && time.day == 30;
}

int DayOfWeek(const SystemTime& time) {
  return static_cast<int>(std::chrono::weekday{DaysOf(time)}.c_encoding());
}

SystemTime LocalNow() {
  return ToLocalTime(CurrentClock().Now());
}

SystemTime ToLocalTime(system_clock::time_point point) {
  return LocalTimeAt(std::chrono::floor<std::chrono::milliseconds>(point));
}

std::optional<TimePoint> FromUtcTime(const SystemTime& utc) {
  if (!IsValidSystemTime(utc)) return std::nullopt;
  return TimePoint{DaysOf(utc)} + TimeOfDayOf(utc);
}

std::optional<TimePoint> FromLocalTime(const SystemTime& local) {
  if (!IsValidSystemTime(local)) return std::nullopt;
  return LocalTimeToPoint(local);
}

std::optional<SystemTime> UtcToLocal(const SystemTime& utc) {
  const auto point = FromUtcTime(utc);
  if (!point) return std::nullopt;
  return LocalTimeAt(*point);
}

std::optional<SystemTime> LocalToUtc(const SystemTime& local) {
  const auto point = FromLocalTime(local);
  if (!point) return std::nullopt;
  return UtcTimeAt(*point);
}

double ToOleDate(const SystemTime& time) {
  const double days = static_cast<double>((DaysOf(time) - kZeroDate).count());
  const double fraction = static_cast<double>(TimeOfDayOf(time).count()) / kMsPerDay;
  return days >= 0 ? days + fraction : days - fraction;
}

std::optional<SystemTime> FromOleDate(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double whole_days = std::trunc(value);
  if (std::fabs(whole_days) > 3'000'000) return std::nullopt;  // far outside years 100..9999
  auto ms_of_day =
      static_cast<std::int64_t>(std::llround(std::fabs(value - whole_days) * kMsPerDay));
  auto days = kZeroDate + std::chrono::days{static_cast<long>(whole_days)};
  if (ms_of_day >= static_cast<std::int64_t>(kMsPerDay)) {  // rounded up to the next midnight
    ms_of_day = 0;
    days += std::chrono::days{value >= 0 ? 1 : -1};
  }
  SystemTime result = FromDaysAndMs(days, ms_of_day);
  if (!IsValidSystemTime(result)) return std::nullopt;
  return result;
}

std::optional<SystemTime> ParseTimeOfDay(std::string_view text) {
  text = Trim(text, kSpaces);
  std::size_t pos = 0;
  SystemTime result;
  const auto hour = ReadNumber(text, pos, 2);
  if (!hour || pos >= text.size() || text[pos] != ':') return std::nullopt;
  ++pos;
  const auto minute = ReadNumber(text, pos, 2);
  if (!minute) return std::nullopt;
  std::optional<int> second = 0;
  if (pos < text.size() && text[pos] == ':') {
    ++pos;
    second = ReadNumber(text, pos, 2);
    if (!second) return std::nullopt;
  }
  while (pos < text.size() && text[pos] == ' ') ++pos;
  std::string_view designator = text.substr(pos);
  result.hour = *hour;
  if (!designator.empty()) {
    const bool am =
        EqualsIgnoreAsciiCase(designator, "AM") || EqualsIgnoreAsciiCase(designator, "A");
    const bool pm =
        EqualsIgnoreAsciiCase(designator, "PM") || EqualsIgnoreAsciiCase(designator, "P");
    if ((!am && !pm) || *hour > 12 || *hour == 0) return std::nullopt;
    result.hour = *hour % 12 + (pm ? 12 : 0);
  }
  result.minute = *minute;
  result.second = *second;
  if (!IsValidSystemTime(result)) return std::nullopt;
  return result;
}

}  // namespace tarvik::platform
