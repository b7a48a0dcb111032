// The setup program's registry routines, by root name ("HKEY_CURRENT_USER", any case) and key
// path. A routine that fails for another reason than a missing key shows a box titled "提示"
// naming the module "WySystem", the routine, the error's description and number.
#pragma once

#include <cstdint>
#include <string_view>

namespace tarvik::setup {

bool RegKeyExists(std::string_view root, std::string_view path);
// Creates the key (and the keys on the way); true when it exists afterwards.
bool RegCreateKey(std::string_view root, std::string_view path);
// Sets value `name` of the existing key; `type` is "REG_DWORD" (the text is a number) or "REG_SZ".
bool RegSetKeyValueEx(std::string_view root, std::string_view path, std::string_view name,
                      std::string_view type, std::string_view value);

}  // namespace tarvik::setup
