#include "platform/text/posix/locale_code_page.h"

#include <langinfo.h>
#include <locale.h>

#include <array>
#include <cstdlib>
#include <string>
#include <utility>

#include "platform/text/code_page.h"

namespace tarvik::platform {

unsigned CodePageOfCodeSet(std::string_view code_set) {
  static constexpr std::array<std::pair<std::string_view, unsigned>, 13> kCodePages = {{
      {"UTF-8", kCodePageUtf8},
      {"ANSI_X3.4-1968", kCodePageUtf8},  // the C and POSIX locales
      {"ISO-8859-1", 1252},
      {"GB2312", 936},
      {"GBK", 936},
      {"GB18030", 54936},
      {"BIG5", 950},
      {"BIG5-HKSCS", 950},
      {"EUC-KR", 51949},
      {"KOI8-R", 20866},
      {"KOI8-U", 21866},
      {"CP1251", 1251},
      {"CP1255", 1255},
  }};
  for (const auto& [name, code_page] : kCodePages) {
    if (code_set == name) return code_page;
  }
  constexpr std::string_view kIsoPrefix = "ISO-8859-";
  unsigned code_page = kDefaultAnsiCodePage;
  if (code_set.starts_with(kIsoPrefix)) {
    const std::string part(code_set.substr(kIsoPrefix.size()));
    const unsigned long number = std::strtoul(part.c_str(), nullptr, 10);
    if (number >= 2 && number <= 16) code_page = 28590 + static_cast<unsigned>(number);
  }
  return IsKnownCodePage(code_page) ? code_page : kDefaultAnsiCodePage;
}

unsigned LocaleCodePage() {
  // A locale object of its own: the process's current locale (the C locale until the program
  // calls setlocale) stays as it is.
  const locale_t locale = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
  if (locale == static_cast<locale_t>(nullptr)) return kCodePageUtf8;
  const std::string code_set = nl_langinfo_l(CODESET, locale);
  freelocale(locale);
  return CodePageOfCodeSet(code_set);
}

}  // namespace tarvik::platform
