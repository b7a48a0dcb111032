#include "platform/fs/windows/system_files.h"

#include <algorithm>

#include "platform/fs/last_error.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform::system_files {

std::wstring WidePath(std::string_view path) {
  std::wstring wide = WideFromUtf8(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

std::chrono::system_clock::time_point TimeOf(const ::FILETIME& time) {
  // 100-nanosecond intervals since 1/1/1601.
  constexpr std::int64_t kIntervalsTo1970 = 116'444'736'000'000'000;
  const std::int64_t intervals =
      (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
  return std::chrono::system_clock::time_point{
      std::chrono::duration_cast<std::chrono::system_clock::duration>(
          std::chrono::nanoseconds{(intervals - kIntervalsTo1970) * 100})};
}

bool TakeSystemError() {
  SetLastError(::GetLastError());
  return false;
}

bool Succeeded() {
  SetLastError(ERROR_SUCCESS);
  return true;
}

}  // namespace tarvik::platform::system_files
