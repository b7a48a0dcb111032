// What the Windows implementations of the file services share: paths in the system's form, file
// times, and the system's last error passed on as the thread's last error of platform/fs.
#pragma once

#include <chrono>
#include <string>
#include <string_view>

struct _FILETIME;  // the system's file time (FILETIME)

namespace tarvik::platform::system_files {

// `path` as the wide-character calls take it ("/" is taken for "\", as Windows does).
std::wstring WidePath(std::string_view path);

std::chrono::system_clock::time_point TimeOf(const ::_FILETIME& time);

// Copies the system's last error into the thread's last error of platform/fs and returns false.
bool TakeSystemError();

// Sets the thread's last error to ERROR_SUCCESS and returns true.
bool Succeeded();

}  // namespace tarvik::platform::system_files
