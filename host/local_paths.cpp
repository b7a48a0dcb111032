#include "host/local_paths.h"

#include "platform/com/type_info.h"
#include "platform/fs/path_translation.h"

namespace tarvik::host {
namespace {

bool StartsWithName(std::string_view name, std::string_view prefix) {
  return name.size() >= prefix.size() &&
         platform::com::NamesEqual(name.substr(0, prefix.size()), prefix);
}

}  // namespace

bool TakesLocalPaths(std::string_view name) {
  return platform::com::NamesEqual(name, "LocalPath") || StartsWithName(name, "Local") ||
         StartsWithName(name, "GetLocal");
}

std::optional<std::string> ToDrivePaths(std::string_view value, std::string* error) {
  std::string result;
  std::size_t start = 0;
  while (true) {
    const std::size_t bar = value.find('|', start);
    std::string_view piece =
        value.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start);
    if (!piece.empty() && piece.front() == '/') {
      const bool folder = piece.size() > 1 && piece.back() == '/';
      std::optional<std::string> drive_path = platform::HostToWindowsPath(piece);
      if (!drive_path) {
        *error = "no drive holds the path " + std::string(piece);
        return std::nullopt;
      }
      if (folder && (drive_path->empty() || drive_path->back() != '\\')) *drive_path += '\\';
      result += *drive_path;
    } else {
      result += piece;
    }
    if (bar == std::string_view::npos) break;
    result += '|';
    start = bar + 1;
  }
  return result;
}

}  // namespace tarvik::host
