#include <array>

#include "platform/registry/registry.h"
#include "platform/text/ascii_text.h"

namespace tarvik::platform {
namespace {

constexpr std::array<std::string_view, 7> kRootNames = {
    "HKEY_CLASSES_ROOT",     "HKEY_CURRENT_USER",   "HKEY_LOCAL_MACHINE", "HKEY_USERS",
    "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG", "HKEY_DYN_DATA"};

}  // namespace

HKEY PredefinedKeyFromName(std::string_view name) {
  for (std::size_t i = 0; i < kRootNames.size(); ++i) {
    if (EqualsIgnoreAsciiCase(name, kRootNames[i])) return HKEY_CLASSES_ROOT + static_cast<HKEY>(i);
  }
  return kInvalidKeyHandle;
}

}  // namespace tarvik::platform
