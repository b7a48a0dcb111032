#include "platform/time/time_zone.h"

#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

// Milliseconds between 1/1/1601 (the start of FILETIME) and 1/1/1970.
constexpr std::int64_t kFileTimeEpochMs = 11'644'473'600'000;

::SYSTEMTIME ToWin32(const SystemTime& time) {
  ::SYSTEMTIME result{};
  result.wYear = static_cast<WORD>(time.year);
  result.wMonth = static_cast<WORD>(time.month);
  result.wDay = static_cast<WORD>(time.day);
  result.wHour = static_cast<WORD>(time.hour);
  result.wMinute = static_cast<WORD>(time.minute);
  result.wSecond = static_cast<WORD>(time.second);
  result.wMilliseconds = static_cast<WORD>(time.milliseconds);
  return result;
}

SystemTime FromWin32(const ::SYSTEMTIME& time) {
  return {time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
          time.wMilliseconds};
}

}  // namespace

// The system converts with the zone rules of each date's own year; dates before 1601, which it
// cannot take, are shown in UTC.
SystemTime LocalTimeAt(TimePoint point) {
  const SystemTime utc = UtcTimeAt(point);
  if (utc.year < 1601) return utc;
  const ::SYSTEMTIME system_utc = ToWin32(utc);
  ::SYSTEMTIME local{};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &system_utc, &local)) return utc;
  return FromWin32(local);
}

std::optional<TimePoint> LocalTimeToPoint(const SystemTime& local) {
  if (local.year < 1601) return FromUtcTime(local);
  const ::SYSTEMTIME system_local = ToWin32(local);
  ::SYSTEMTIME utc{};
  ::FILETIME file_time{};
  if (!TzSpecificLocalTimeToSystemTime(nullptr, &system_local, &utc) ||
      !SystemTimeToFileTime(&utc, &file_time))
    return std::nullopt;
  const std::int64_t ticks = (static_cast<std::int64_t>(file_time.dwHighDateTime) << 32) |
                             file_time.dwLowDateTime;  // 100 ns since 1601
  return TimePoint{std::chrono::milliseconds{ticks / 10'000 - kFileTimeEpochMs}};
}

}  // namespace tarvik::platform
