// Texts the listing and remote-file methods build for the host.
#pragma once

#include <string>
#include <string_view>

#include "core/errors/error_text.h"

namespace tarvik {

// The message of error `number` with its "{0}" replaced by `value`
// ("Can't find the file[ /a/b.txt ]").
inline std::string ErrorTextWith(long number, std::string_view value) {
  std::string text = GetErrorText(number);
  const std::size_t at = text.find("{0}");
  if (at != std::string::npos) text.replace(at, 3, value);
  return text;
}

}  // namespace tarvik
