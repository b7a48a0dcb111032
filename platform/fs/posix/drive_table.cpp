#include "platform/fs/drive_table.h"

#include <pwd.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string_view>
#include <system_error>

#include "platform/text/ascii_text.h"

namespace tarvik::platform {
namespace {

struct Table {
  std::string tarvik_root;
  std::vector<DriveMapping> drives;
};

std::string HomeFolder() {
  if (const char* home = std::getenv("HOME"); home != nullptr && *home != '\0') return home;
  if (const passwd* entry = getpwuid(getuid()); entry != nullptr && entry->pw_dir != nullptr)
    return entry->pw_dir;
  return "/tmp";
}

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

// Parses "C=/srv/c;D=/mnt/d"; a later entry for the same letter replaces an earlier one.
std::vector<DriveMapping> ParseDrives(std::string_view text) {
  std::vector<DriveMapping> drives;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    const std::string_view entry = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    if (entry.size() < 3 || entry[1] != '=' || entry[2] != '/') continue;
    const char letter = UpperAscii(entry[0]);
    if (letter < 'A' || letter > 'Z') continue;
    std::erase_if(drives, [letter](const DriveMapping& d) { return d.letter == letter; });
    drives.push_back({letter, WithoutTrailingSlashes(std::string(entry.substr(2)))});
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveMapping& a, const DriveMapping& b) { return a.letter < b.letter; });
  return drives;
}

Table LoadTable() {
  Table table;
  const char* root = std::getenv("TARVIK_ROOT");
  table.tarvik_root = WithoutTrailingSlashes(
      root != nullptr && *root != '\0' ? std::string(root) : HomeFolder() + "/.local/share/tarvik");
  if (const char* drives = std::getenv("TARVIK_DRIVES"); drives != nullptr) {
    table.drives = ParseDrives(drives);
  } else {
    const std::string drive_c = table.tarvik_root + "/drive_c";
    std::error_code ignored;  // a drive folder that cannot be made shows as a missing path later
    std::filesystem::create_directories(drive_c, ignored);
    table.drives = {{'C', drive_c}, {'Z', "/"}};
  }
  return table;
}

std::mutex& TableMutex() {
  static std::mutex mutex;
  return mutex;
}

std::optional<Table>& LoadedTable() {
  static std::optional<Table> table;
  return table;
}

// The table, loaded on first use. The caller holds TableMutex().
const Table& CurrentTable() {
  auto& table = LoadedTable();
  if (!table) table = LoadTable();
  return *table;
}

}  // namespace

std::vector<DriveMapping> DriveTable() {
  std::lock_guard lock(TableMutex());
  return CurrentTable().drives;
}

std::optional<std::string> DriveHostRoot(char letter) {
  letter = UpperAscii(letter);
  std::lock_guard lock(TableMutex());
  for (const DriveMapping& drive : CurrentTable().drives)
    if (drive.letter == letter) return drive.host_root;
  return std::nullopt;
}

std::string TarvikRoot() {
  std::lock_guard lock(TableMutex());
  return CurrentTable().tarvik_root;
}

std::string NetworkSharesRoot() {
  return TarvikRoot() + "/unc";
}

void ReloadDriveTable() {
  std::lock_guard lock(TableMutex());
  LoadedTable() = LoadTable();
}

}  // namespace tarvik::platform
