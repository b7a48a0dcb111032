#include "platform/fs/directory_search.h"

#include "platform/fs/last_error.h"
#include "platform/fs/windows/system_files.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

using system_files::Succeeded;
using system_files::TakeSystemError;

void Fill(const ::WIN32_FIND_DATAW& found, FindData* data) {
  if (data == nullptr) return;
  data->attributes = found.dwFileAttributes;
  data->size_high = found.nFileSizeHigh;
  data->size_low = found.nFileSizeLow;
  data->last_write_time = system_files::TimeOf(found.ftLastWriteTime);
  data->name = Utf8FromWide(found.cFileName);
}

}  // namespace

HANDLE FindFirstFile(std::string_view pattern, FindData* data) {
  ::WIN32_FIND_DATAW found{};
  const ::HANDLE search = FindFirstFileW(system_files::WidePath(pattern).c_str(), &found);
  if (search == reinterpret_cast<::HANDLE>(-1)) {
    TakeSystemError();
    return INVALID_HANDLE_VALUE;
  }
  Fill(found, data);
  Succeeded();
  return reinterpret_cast<HANDLE>(search);
}

bool FindNextFile(HANDLE search, FindData* data) {
  ::WIN32_FIND_DATAW found{};
  if (!FindNextFileW(reinterpret_cast<::HANDLE>(search), &found)) return TakeSystemError();
  Fill(found, data);
  return Succeeded();
}

bool FindClose(HANDLE search) {
  if (!::FindClose(reinterpret_cast<::HANDLE>(search))) return TakeSystemError();
  return Succeeded();
}

}  // namespace tarvik::platform
