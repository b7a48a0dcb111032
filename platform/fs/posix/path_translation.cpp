#include "platform/fs/path_translation.h"

#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <vector>

#include "platform/fs/drive_table.h"
#include "platform/fs/name_rules.h"
#include "platform/text/case_fold.h"
#include "platform/text/code_page.h"

namespace tarvik::platform {
namespace {

std::size_t CharacterCount(std::string_view utf8) {
  return static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

std::string Join(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path += '/';
  path += name;
  return path;
}

bool IsDirectory(const std::string& host_path) {
  struct stat info {};
  return stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool Exists(const std::string& host_path) {
  struct stat info {};
  return lstat(host_path.c_str(), &info) == 0;
}

// The entry of `folder` named `name`: exactly, else the first (in byte order) that differs only in
// case; nullopt when there is none.
std::optional<std::string> FindEntry(const std::string& folder, const std::string& name) {
  if (Exists(Join(folder, name))) return name;
  DIR* dir = opendir(folder.c_str());
  if (dir == nullptr) return std::nullopt;
  std::optional<std::string> found;
  const std::string folded = FoldCase(name);
  while (const dirent* entry = readdir(dir)) {
    const std::string_view candidate = entry->d_name;
    if (candidate == "." || candidate == "..") continue;
    if (FoldCase(candidate) == folded && (!found || candidate < *found))
      found = std::string(candidate);
  }
  closedir(dir);
  return found;
}

// A search pattern is a valid name once its wildcards are taken for ordinary characters.
bool IsValidPattern(std::string_view pattern) {
  std::string name(pattern);
  std::replace_if(
      name.begin(), name.end(), [](char c) { return c == '*' || c == '?'; }, 'x');
  return IsValidEntryName(name);
}

// Splits the part after the root into components, applying ".", ".." and the trailing dot and
// blank rule. Returns ERROR_SUCCESS or the reason of the refusal.
DWORD SplitComponents(std::string_view rest, bool wildcards_in_name,
                      std::vector<std::string>& components) {
  std::vector<std::string_view> raw;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\\'), rest.size());
    if (end > 0) raw.push_back(rest.substr(0, end));
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  for (std::size_t i = 0; i < raw.size(); ++i) {
    std::string_view name = raw[i];
    if (name == ".") continue;
    if (name == "..") {
      if (!components.empty()) components.pop_back();
      continue;
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.remove_suffix(1);
    if (CharacterCount(name) > kMaxComponent || name.size() > 255)
      return ERROR_FILENAME_EXCED_RANGE;
    const bool pattern_allowed = wildcards_in_name && i + 1 == raw.size();
    if (!(pattern_allowed ? IsValidPattern(name) : IsValidEntryName(name)))
      return ERROR_INVALID_NAME;
    components.emplace_back(name);
  }
  return ERROR_SUCCESS;
}

TranslatedPath Refused(DWORD error) {
  TranslatedPath result;
  result.error = error;
  return result;
}

// The host folder of "\\server\share" and the text after it, or the refusal.
DWORD ResolveShare(std::string_view path, std::string& root, std::string_view& rest) {
  std::string_view tail = path.substr(2);
  std::string_view names[2];
  for (std::string_view& name : names) {
    while (!tail.empty() && tail.front() == '\\') tail.remove_prefix(1);
    const std::size_t end = std::min(tail.find('\\'), tail.size());
    name = tail.substr(0, end);
    tail.remove_prefix(end);
  }
  if (names[0].empty() || !IsValidEntryName(names[0])) return ERROR_BAD_NETPATH;
  if (names[1].empty() || !IsValidEntryName(names[1])) return ERROR_BAD_NET_NAME;
  const std::string shares = NetworkSharesRoot();
  const auto server = FindEntry(shares, std::string(names[0]));
  if (!server || !IsDirectory(Join(shares, *server))) return ERROR_BAD_NETPATH;
  const auto share = FindEntry(Join(shares, *server), std::string(names[1]));
  if (!share || !IsDirectory(Join(Join(shares, *server), *share))) return ERROR_BAD_NET_NAME;
  root = Join(Join(shares, *server), *share);
  rest = tail;
  return ERROR_SUCCESS;
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

TranslatedPath TranslatePath(std::string_view input, bool wildcards_in_name) {
  if (input.empty()) return Refused(ERROR_PATH_NOT_FOUND);
  if (!IsValidUtf8(input)) return Refused(ERROR_INVALID_NAME);
  if (CharacterCount(input) >= kMaxPath) return Refused(ERROR_FILENAME_EXCED_RANGE);
  std::string path(input);
  std::replace(path.begin(), path.end(), '/', '\\');

  TranslatedPath result;
  std::string root;
  std::string_view rest;
  if (path.size() >= 2 && path[0] == '\\' && path[1] == '\\') {
    if (const DWORD error = ResolveShare(path, root, rest); error != ERROR_SUCCESS)
      return Refused(error);
  } else if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':' &&
             (path.size() == 2 || path[2] == '\\')) {
    const auto drive = DriveHostRoot(path[0]);
    if (!drive) return Refused(ERROR_PATH_NOT_FOUND);
    root = *drive;
    rest = std::string_view(path).substr(2);
  } else {
    return Refused(ERROR_INVALID_NAME);
  }
  result.trailing_separator = path.back() == '\\';

  std::vector<std::string> components;
  if (const DWORD error = SplitComponents(rest, wildcards_in_name, components);
      error != ERROR_SUCCESS)
    return Refused(error);

  result.host_path = root;
  result.is_root = components.empty();
  result.depth = components.size();
  result.parent_exists = IsDirectory(root);
  for (std::size_t i = 0; i < components.size(); ++i) {
    const bool last = i + 1 == components.size();
    std::string name = components[i];
    if (result.parent_exists && !(last && wildcards_in_name && HasWildcards(name))) {
      if (auto found = FindEntry(result.host_path, name)) name = std::move(*found);
    }
    const std::string next = Join(result.host_path, name);
    if (!last) result.parent_exists = result.parent_exists && IsDirectory(next);
    result.host_path = next;
    result.name = std::move(name);
  }
  return result;
}

std::optional<std::string> HostToWindowsPath(std::string_view host_path) {
  const auto under = [&](const std::string& root) -> std::optional<std::string_view> {
    if (root == "/") return host_path.substr(host_path.empty() ? 0 : 1);
    if (host_path.substr(0, root.size()) != root) return std::nullopt;
    if (host_path.size() > root.size() && host_path[root.size()] != '/') return std::nullopt;
    std::string_view rest = host_path.substr(root.size());
    while (!rest.empty() && rest.front() == '/') rest.remove_prefix(1);
    return rest;
  };
  if (host_path.empty() || host_path.front() != '/') return std::nullopt;

  // The candidate under the longest host folder wins: a drive, or a share (server and share
  // folders under the network root).
  std::optional<std::string> best;
  std::size_t best_root = 0;
  for (const DriveMapping& drive : DriveTable()) {
    const auto rest = under(drive.host_root);
    if (!rest || (best && drive.host_root.size() <= best_root)) continue;
    best = std::string(1, drive.letter) + ":\\" + std::string(*rest);
    best_root = drive.host_root.size();
  }
  const std::string shares = NetworkSharesRoot();
  if (const auto rest = under(shares); rest && rest->find('/') != std::string_view::npos &&
                                       rest->find('/') + 1 < rest->size() &&
                                       (!best || shares.size() > best_root)) {
    best = "\\\\" + std::string(*rest);
  }
  if (!best) return std::nullopt;
  std::replace(best->begin(), best->end(), '/', '\\');
  return best;
}

}  // namespace tarvik::platform
