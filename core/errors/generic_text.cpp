#include "core/errors/generic_text.h"

#include <algorithm>
#include <array>

#include "core/errors/error_code.h"
#include "platform/text/ascii_text.h"

namespace tarvik {

namespace {

// The error record's number for an error whose own text is never meaningful.

constexpr std::array<std::string_view, 5> kGenericWords = {"对象", "object", "par l'objet",
                                                           "objekt", "Fehler"};

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
  return std::search(text.begin(), text.end(), word.begin(), word.end(), [](char a, char b) {
           return platform::LowerAscii(a) == platform::LowerAscii(b);
         }) != text.end();
}

}  // namespace

bool IsBlankText(std::string_view text) {
  return text.find_first_not_of(" \t\r\n") == std::string_view::npos;
}

bool IsGenericErrorText(std::string_view text, long record_number) {
  if (IsBlankText(text) || record_number == ErrorCode::kInvalidFtpHost) return true;
  return std::any_of(kGenericWords.begin(), kGenericWords.end(),
                     [text](std::string_view word) { return ContainsIgnoringCase(text, word); });
}

}  // namespace tarvik
