// The system ANSI code page and the conversions through it, the same on every system; the
// system's own code page comes from platform/text/system_locale.h.
#include <atomic>
#include <cstdlib>

#include "platform/text/code_page.h"
#include "platform/text/system_locale.h"

namespace tarvik::platform {
namespace {

std::atomic<unsigned> g_ansi_code_page{0};  // 0 = not yet read from the environment

unsigned CodePageFromEnvironment() {
  const char* value = std::getenv("TARVIK_ACP");
  if (value == nullptr || *value == '\0') return SystemAnsiCodePage();
  char* end = nullptr;
  const unsigned long number = std::strtoul(value, &end, 10);
  if (*end != '\0' || number == 0 || number > 65535) return SystemAnsiCodePage();
  const auto code_page = static_cast<unsigned>(number);
  return IsKnownCodePage(code_page) ? code_page : SystemAnsiCodePage();
}

}  // namespace

unsigned AnsiCodePage() {
  unsigned code_page = g_ansi_code_page.load();
  if (code_page == 0) {
    code_page = CodePageFromEnvironment();
    g_ansi_code_page.store(code_page);
  }
  return code_page;
}

bool SetAnsiCodePage(unsigned code_page) {
  if (code_page == 0) {
    g_ansi_code_page.store(CodePageFromEnvironment());
    return true;
  }
  if (!IsKnownCodePage(code_page)) return false;
  g_ansi_code_page.store(code_page);
  return true;
}

std::string AnsiToUtf8(std::string_view bytes) {
  return MultiByteToUtf8(bytes, kCodePageAnsi).value_or(std::string());
}

std::string Utf8ToAnsi(std::string_view text) {
  return Utf8ToMultiByte(text, kCodePageAnsi).value_or(std::string());
}

}  // namespace tarvik::platform
