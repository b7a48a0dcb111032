#include "platform/fs/known_folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "platform/fs/name_rules.h"
#include "platform/fs/path_translation.h"
#include "platform/registry/registry.h"
#include "platform/text/code_page.h"

namespace tarvik::platform {
namespace {

// Returns `path` after creating it (and its parents) when it is missing.
std::string Ensured(std::string path) {
  const TranslatedPath target = TranslatePath(path);
  if (target.error == ERROR_SUCCESS) {
    std::error_code ignored;  // a folder that cannot be made shows up as missing to its user
    std::filesystem::create_directories(target.host_path, ignored);
  }
  return path;
}

bool IsUsableName(const std::string& name) {
  return IsValidUtf8(name) && IsValidEntryName(name);
}

}  // namespace

std::string GetSystemDirectory() {
  return Ensured("C:\\windows\\system32");
}

std::string GetProgramFilesDirectory() {
  return Ensured("C:\\Program Files");
}

std::string GetTempPath() {
  const char* tmpdir = std::getenv("TMPDIR");
  std::string host = tmpdir != nullptr && *tmpdir == '/' ? tmpdir : "/tmp";
  while (host.size() > 1 && host.back() == '/') host.pop_back();
  std::string path = HostToWindowsPath(host).value_or(Ensured("C:\\windows\\temp"));
  if (path.back() != '\\') path += '\\';
  return path;
}

std::string GetUserName() {
  if (const char* user = std::getenv("USER"); user != nullptr && IsUsableName(user)) return user;
  if (const passwd* entry = getpwuid(getuid());
      entry != nullptr && entry->pw_name != nullptr && IsUsableName(entry->pw_name))
    return entry->pw_name;
  return "user";
}

std::string GetDocumentsFolder() {
  std::string folder;
  if (ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, kDocumentsValueName, &folder) ==
          ERROR_SUCCESS &&
      !folder.empty())
    return folder;
  folder = Ensured("C:\\users\\" + GetUserName() + "\\Documents");
  WriteRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, kDocumentsValueName, folder);
  return folder;
}

}  // namespace tarvik::platform
