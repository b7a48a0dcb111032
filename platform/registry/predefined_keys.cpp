#include <algorithm>
#include <array>
#include <cctype>

#include "platform/registry/registry.h"

namespace tarvik::platform {
namespace {

constexpr std::array<std::string_view, 7> kRootNames = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::toupper(static_cast<unsigned char>(x)) ==
           std::toupper(static_cast<unsigned char>(y));
  });
}

}  // namespace

HKEY PredefinedKeyFromName(std::string_view name) {
  for (std::size_t i = 0; i < kRootNames.size(); ++i) {
    if (EqualsIgnoringCase(name, kRootNames[i])) return HKEY_CLASSES_ROOT + static_cast<HKEY>(i);
  }
  return kInvalidKeyHandle;
}

}  // namespace tarvik::platform
