#include "setup/browser_settings.h"

#include <string>
#include <utility>
#include <vector>

#include "setup/registry_routines.h"

namespace tarvik::setup {
namespace {

constexpr std::string_view kClassIds[] = {kControlClassId, kSecondClassId};
constexpr std::string_view kCategories[] = {
    "{7DD95801-9882-11CF-9FA9-00AA006C42C4}",  // safe for scripting
    "{7DD95802-9882-11CF-9FA9-00AA006C42C4}",  // safe for initialisation
};
constexpr std::string_view kStatsKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Stats";
constexpr std::string_view kZonesKey =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Zones\\";

}  // namespace

bool ApplyBrowserSettings() {
  // The keys each class needs, under their roots; the first that cannot be made ends the step.
  std::vector<std::pair<std::string_view, std::string>> keys;
  for (const std::string_view id : kClassIds) {
    for (const std::string_view category : kCategories) {
      keys.emplace_back(
          "HKEY_CLASSES_ROOT",
          "CLSID\\" + std::string(id) + "\\Implemented Categories\\" + std::string(category));
    }
  }
  for (const std::string_view id : kClassIds) {
    const std::string stats = std::string(kStatsKey) + "\\" + std::string(id);
    for (const std::string& path :
         {std::string(kStatsKey), stats, stats + "\\iexplore", stats + "\\iexplore\\AllowedDomains",
          stats + "\\iexplore\\AllowedDomains\\*"}) {
      keys.emplace_back("HKEY_CURRENT_USER", path);
    }
  }
  for (const auto& [root, path] : keys) {
    if (!RegKeyExists(root, path) && !RegCreateKey(root, path)) return false;
  }
  // Internet, then Trusted sites; a zone without its key is left alone, and a value that cannot
  // be set does not fail the install.
  for (const char* zone : {"3", "2"}) {
    const std::string path = std::string(kZonesKey) + zone;
    if (!RegKeyExists("HKEY_CURRENT_USER", path)) continue;
    RegSetKeyValueEx("HKEY_CURRENT_USER", path, "1208", "REG_DWORD", "0");
    RegSetKeyValueEx("HKEY_CURRENT_USER", path, "2201", "REG_DWORD", "0");
  }
  return true;
}

}  // namespace tarvik::setup
