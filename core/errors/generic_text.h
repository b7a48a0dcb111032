// The generic-text test: whether an error text carries no information of its own, so that the
// message table's text for the error number should take its place.
#pragma once

#include <string_view>

namespace tarvik {

// True when `text` is blank after trimming, when `record_number` (the error record's Number) is
// 21000, or when `text` contains, ignoring case, the runtime's "object-defined error" wording in
// Chinese, English, French or German: "对象", "object", "par l'objet", "objekt", "Fehler".
bool IsGenericErrorText(std::string_view text, long record_number);

// True when `text` is empty after trimming blanks, tabs and line breaks.
bool IsBlankText(std::string_view text);

}  // namespace tarvik
