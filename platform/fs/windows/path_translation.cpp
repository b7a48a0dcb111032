// On Windows a Windows path is its own host path: drive and share paths are used as they are.
#include "platform/fs/path_translation.h"

#include <algorithm>
#include <vector>

#include "platform/fs/file_attributes.h"
#include "platform/fs/name_rules.h"
#include "platform/text/code_page.h"

namespace tarvik::platform {
namespace {

TranslatedPath Refused(DWORD error) {
  TranslatedPath result;
  result.error = error;
  return result;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsFolder(const std::string& path) {
  const DWORD attributes = GetFileAttributes(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Length of the root of `path` ("C:\" or "\\server\share\"), 0 when it has none.
std::size_t RootLength(std::string_view path) {
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':' &&
      (path.size() == 2 || path[2] == '\\'))
    return std::min<std::size_t>(path.size(), 3);
  if (!path.starts_with("\\\\")) return 0;
  std::size_t end = 2;
  for (int part = 0; part < 2; ++part) {
    const std::size_t slash = path.find('\\', end);
    if (slash == end) return 0;  // an empty server or share name
    end = slash == std::string_view::npos ? path.size() : slash + 1;
  }
  return end;
}

}  // namespace

TranslatedPath TranslatePath(std::string_view input, bool wildcards_in_name) {
  if (input.empty()) return Refused(ERROR_PATH_NOT_FOUND);
  if (!IsValidUtf8(input)) return Refused(ERROR_INVALID_NAME);
  std::string path(input);
  std::replace(path.begin(), path.end(), '/', '\\');
  const std::size_t root = RootLength(path);
  if (root == 0) return Refused(ERROR_INVALID_NAME);

  TranslatedPath result;
  result.trailing_separator = path.back() == '\\';
  std::vector<std::string> components;
  std::string_view rest = std::string_view(path).substr(root);
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\\'), rest.size());
    const std::string_view name = rest.substr(0, end);
    rest.remove_prefix(std::min(end + 1, rest.size()));
    if (name.empty() || name == ".") continue;
    if (name == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    const bool pattern = wildcards_in_name && rest.empty() && HasWildcards(name);
    if (!pattern && !IsValidEntryName(name)) return Refused(ERROR_INVALID_NAME);
    components.emplace_back(name);
  }
  std::string host_path = path.substr(0, root);
  if (!host_path.ends_with('\\')) host_path += '\\';
  result.is_root = components.empty();
  result.depth = components.size();
  result.parent_exists = IsFolder(host_path);
  for (std::size_t i = 0; i < components.size(); ++i) {
    if (i > 0) {
      host_path += '\\';
      result.parent_exists = result.parent_exists && IsFolder(host_path.substr(0, host_path.size() - 1));
    }
    host_path += components[i];
  }
  if (host_path.size() + 1 > kMaxPath) return Refused(ERROR_FILENAME_EXCED_RANGE);
  result.host_path = std::move(host_path);
  result.name = components.empty() ? std::string() : components.back();
  return result;
}

std::optional<std::string> HostToWindowsPath(std::string_view host_path) {
  std::string path(host_path);
  std::replace(path.begin(), path.end(), '/', '\\');
  if (RootLength(path) == 0) return std::nullopt;
  return path;
}

}  // namespace tarvik::platform
