#include "platform/text/system_locale.h"

#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {

unsigned SystemAnsiCodePage() {
  return GetACP();
}

std::string ThousandsSeparatorOfUserLocale() {
  wchar_t separator[8] = {};
  if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, separator, 8) == 0) return {};
  return Utf8FromWide(separator);
}

}  // namespace tarvik::platform
