// Calendar time in the Win32 manner: a broken-down date and time (like SYSTEMTIME), the local
// time of the process's time zone, conversion between UTC and local time, and the automation
// "date" value (days since 12/30/1899 as a double).
//
// The time zone is the system's: on Windows its own zone setting; on Linux the TZ environment
// variable when set, else /etc/localtime. TZ is
// re-read on every conversion, so a test may change it with setenv.
//
// For a directory-listing parser:
//   - the current local year:            LocalNow().year
//   - a date built from numbers:          SystemTime{y, m, d, hh, mm, ss}, checked by
//   IsValidSystemTime
//   - a time token such as "12:30PM":     ParseTimeOfDay
//   - a UTC stamp shown in local time:    UtcToLocal
//   - the text of a timestamp:            GeneralDateText (platform/time/date_format.h)
#pragma once

#include <chrono>
#include <optional>
#include <string_view>

namespace tarvik::platform {

// A date and time of day. The default value is the zero date 12/30/1899 00:00:00, the date the
// automation date value 0.0 stands for.
struct SystemTime {
  int year = 1899;       // 100..9999
  int month = 12;        // 1..12
  int day = 30;          // 1..days of the month
  int hour = 0;          // 0..23
  int minute = 0;        // 0..59
  int second = 0;        // 0..59
  int milliseconds = 0;  // 0..999

  friend bool operator==(const SystemTime&, const SystemTime&) = default;
};

// True when every field is inside its range (years 100..9999, the range of the automation date).
bool IsValidSystemTime(const SystemTime& time);

// True for the zero date 12/30/1899 (any time of day).
bool IsZeroDate(const SystemTime& time);

// Day of the week, 0 = Sunday .. 6 = Saturday. `time` must be valid.
int DayOfWeek(const SystemTime& time);

// The current local time, from CurrentClock() (so tests with a manual clock see their time).
SystemTime LocalNow();

// A point in time counted in milliseconds. Unlike system_clock::time_point, whose nanosecond
// count ends in the years 1677 and 2262, it holds every date of years 1..9999.
using TimePoint = std::chrono::sys_time<std::chrono::milliseconds>;

// A point in time as local time of the system time zone.
SystemTime ToLocalTime(std::chrono::system_clock::time_point point);

// The point in time of a UTC or local date; nullopt for an invalid date. A local time that falls
// in a daylight-saving gap or overlap is resolved as the C library's mktime resolves it.
std::optional<TimePoint> FromUtcTime(const SystemTime& utc);
std::optional<TimePoint> FromLocalTime(const SystemTime& local);

// UTC <-> local time of the system time zone; nullopt for an invalid date.
std::optional<SystemTime> UtcToLocal(const SystemTime& utc);
std::optional<SystemTime> LocalToUtc(const SystemTime& local);

// The automation date value: whole days since 12/30/1899, the fraction the time of day. Before
// the zero date the sign applies to the days only (-1.25 is 12/29/1899 06:00).
double ToOleDate(const SystemTime& time);
std::optional<SystemTime> FromOleDate(double value);

// A time of day as written in listings and by users: "H:mm", "H:mm:ss", either followed by an
// optional blank and "AM"/"PM" (or "A"/"P", any case). 12 AM is 0 h. Returns nullopt for anything
// else (hours above 12 with a designator included). Fields other than the time keep the zero date.
std::optional<SystemTime> ParseTimeOfDay(std::string_view text);

}  // namespace tarvik::platform
