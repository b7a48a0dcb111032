#include "platform/text/system_locale.h"

#include <langinfo.h>
#include <locale.h>

#include "platform/text/posix/locale_code_page.h"

namespace tarvik::platform {

unsigned SystemAnsiCodePage() {
  return LocaleCodePage();
}

std::string ThousandsSeparatorOfUserLocale() {
  const locale_t locale = newlocale(LC_NUMERIC_MASK, "", static_cast<locale_t>(0));
  if (locale == static_cast<locale_t>(0)) return {};
  std::string separator = nl_langinfo_l(THOUSEP, locale);
  freelocale(locale);
  return separator;
}

}  // namespace tarvik::platform
