#include "platform/time/time_zone.h"

#include <cstdlib>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace tarvik::platform {
namespace {

SystemTime FromTm(const std::tm& tm, int milliseconds) {
  SystemTime result;
  result.year = tm.tm_year + 1900;
  result.month = tm.tm_mon + 1;
  result.day = tm.tm_mday;
  result.hour = tm.tm_hour;
  result.minute = tm.tm_min;
  result.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;  // a leap second reads as :59
  result.milliseconds = milliseconds;
  return result;
}

// Splits a point in time into whole seconds (floored) and the milliseconds left over.
std::pair<std::time_t, int> SplitSeconds(TimePoint point) {
  const auto ms = point.time_since_epoch().count();
  const auto seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
  return {static_cast<std::time_t>(seconds), static_cast<int>(ms - seconds * 1000)};
}

// What the C library last loaded: TZ as it was then, and the zone globals tzset() filled in.
struct LoadedZone {
  std::optional<std::string> tz;
  const char* standard_name = nullptr;
  const char* daylight_name = nullptr;
  long seconds_west = 0;
  int has_daylight = 0;

  static LoadedZone Current(const char* tz_value) {
    return {tz_value == nullptr ? std::nullopt : std::optional<std::string>(tz_value), tzname[0],
            tzname[1], timezone, daylight};
  }
  bool operator==(const LoadedZone&) const = default;
};

// The C library re-reads the zone file on every tzset() while TZ is unset, which would cost a
// file check per converted date. The zone is reloaded only when TZ has changed since the last
// load, or when something else in the process has loaded another zone since.
void ReloadZoneIfTzChanged() {
  static std::mutex mutex;
  static std::optional<LoadedZone> loaded;
  const char* tz = std::getenv("TZ");
  const std::lock_guard lock(mutex);
  if (loaded && *loaded == LoadedZone::Current(tz)) return;
  tzset();
  loaded = LoadedZone::Current(tz);
}

long UtcOffsetAt(std::time_t seconds) {
  std::tm tm{};
  if (localtime_r(&seconds, &tm) == nullptr) return 0;
  return tm.tm_gmtoff;
}

// mktime() with the zone rules deciding daylight saving; it reloads the zone itself, so it is
// kept for the rare local times next to a zone change.
std::optional<std::time_t> LocalFieldsToSecondsSlow(std::tm tm) {
  tm.tm_isdst = -1;
  tm.tm_wday = -1;  // mktime sets it on success; -1 is also a valid result time
  const std::time_t seconds = mktime(&tm);
  if (tm.tm_wday == -1) return std::nullopt;
  return seconds;
}

// Local calendar fields to seconds since the epoch. Away from a zone change the offset is the
// same a day before and a day after, and the answer is the fields read as UTC less that offset.
std::optional<std::time_t> LocalFieldsToSeconds(const std::tm& fields) {
  std::tm as_utc = fields;
  const std::time_t utc_reading = timegm(&as_utc);
  constexpr std::time_t kDay = 86'400;
  const long before = UtcOffsetAt(utc_reading - kDay);
  if (before == UtcOffsetAt(utc_reading + kDay)) return utc_reading - before;
  return LocalFieldsToSecondsSlow(fields);
}

}  // namespace

SystemTime LocalTimeAt(TimePoint point) {
  const auto [seconds, milliseconds] = SplitSeconds(point);
  ReloadZoneIfTzChanged();
  std::tm tm{};
  if (localtime_r(&seconds, &tm) == nullptr) return UtcTimeAt(point);
  return FromTm(tm, milliseconds);
}

std::optional<TimePoint> LocalTimeToPoint(const SystemTime& local) {
  ReloadZoneIfTzChanged();
  std::tm tm{};
  tm.tm_year = local.year - 1900;
  tm.tm_mon = local.month - 1;
  tm.tm_mday = local.day;
  tm.tm_hour = local.hour;
  tm.tm_min = local.minute;
  tm.tm_sec = local.second;
  const auto seconds = LocalFieldsToSeconds(tm);
  if (!seconds) return std::nullopt;
  return TimePoint{std::chrono::seconds{*seconds}} + std::chrono::milliseconds{local.milliseconds};
}

}  // namespace tarvik::platform
