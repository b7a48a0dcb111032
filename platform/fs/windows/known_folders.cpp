#include "platform/fs/known_folders.h"

#include "platform/registry/registry.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

std::string ShellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
  return Utf8FromWide(path);
}

}  // namespace

std::string GetSystemDirectory() {
  wchar_t path[MAX_PATH] = {};
  const ::UINT length = GetSystemDirectoryW(path, MAX_PATH);
  return length == 0 || length >= MAX_PATH ? std::string() : Utf8FromWide(path);
}

std::string GetProgramFilesDirectory() {
  return ShellFolder(CSIDL_PROGRAM_FILES);
}

std::string GetTempPath() {
  wchar_t path[MAX_PATH + 1] = {};
  const ::DWORD length = GetTempPathW(MAX_PATH + 1, path);
  return length == 0 || length > MAX_PATH ? std::string() : Utf8FromWide(path);
}

std::string GetUserName() {
  wchar_t name[257] = {};
  ::DWORD length = 257;
  return GetUserNameW(name, &length) ? Utf8FromWide(name) : std::string("user");
}

std::string GetDocumentsFolder() {
  std::string folder;
  if (ReadRegistryString(HKEY_CURRENT_USER, kShellFoldersKey, kDocumentsValueName, &folder) ==
          ERROR_SUCCESS &&
      !folder.empty())
    return folder;
  return ShellFolder(CSIDL_PERSONAL);
}

}  // namespace tarvik::platform
