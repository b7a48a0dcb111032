#include "platform/text/code_page.h"

#include <climits>

#include "platform/text/utf8_sequence.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

constexpr char kDefaultChar = '?';

unsigned Resolve(unsigned code_page) {
  return code_page == kCodePageAnsi ? AnsiCodePage() : code_page;
}

}  // namespace

bool IsKnownCodePage(unsigned code_page) {
  return code_page == kCodePageAnsi || code_page == kCodePageUtf8 || IsValidCodePage(code_page);
}

std::optional<std::string> MultiByteToUtf8(std::string_view bytes, unsigned code_page) {
  code_page = Resolve(code_page);
  if (code_page == kCodePageUtf8) return utf8::Sanitized(bytes, "\xEF\xBF\xBD");
  if (!IsValidCodePage(code_page)) return std::nullopt;
  if (bytes.empty() || bytes.size() > INT_MAX) return std::string();
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), length);
  return Utf8FromWide(wide);
}

std::optional<std::string> Utf8ToMultiByte(std::string_view text, unsigned code_page) {
  code_page = Resolve(code_page);
  // Malformed bytes become "?" before the conversion, so that they are not taken for U+FFFD.
  const std::string clean = utf8::Sanitized(text, std::string_view(&kDefaultChar, 1));
  if (code_page == kCodePageUtf8) return clean;
  if (!IsValidCodePage(code_page)) return std::nullopt;
  const std::wstring wide = WideFromUtf8(clean);
  if (wide.empty() || wide.size() > INT_MAX) return std::string();
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(code_page, 0, wide.data(), size, nullptr, 0, &kDefaultChar, nullptr);
  std::string bytes(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(code_page, 0, wide.data(), size, bytes.data(), length, &kDefaultChar,
                      nullptr);
  return bytes;
}

}  // namespace tarvik::platform
