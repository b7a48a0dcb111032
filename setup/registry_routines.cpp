#include "setup/registry_routines.h"

#include <charconv>
#include <string>

#include "platform/registry/registry.h"
#include "platform/ui/ui_provider.h"

namespace tarvik::setup {
namespace {

using platform::DWORD;
using platform::ERROR_SUCCESS;
using platform::HKEY;
using platform::LSTATUS;

// The system's description of a registry failure.
std::string_view Description(LSTATUS status) {
  switch (status) {
    case platform::ERROR_ACCESS_DENIED:
      return "Access is denied.";
    case platform::ERROR_INVALID_HANDLE:
      return "The handle is invalid.";
    case platform::ERROR_BUSY:
      return "The requested resource is in use.";
    case platform::ERROR_BADDB:
      return "The configuration registry database is corrupt.";
    case platform::ERROR_DISK_FULL:
      return "There is not enough space on the disk.";
    case platform::ERROR_INVALID_PARAMETER:
      return "The parameter is incorrect.";
    default:
      return "The registry could not be read or written.";
  }
}

// Shows the failure of `routine` and gives false.
bool Failed(std::string_view routine, LSTATUS status) {
  const std::string text = "模    块：WySystem\r\n函    数：" + std::string(routine) +
                           "\r\n错误描述：" + std::string(Description(status)) + "\r\n错 误 号：" +
                           std::to_string(status);
  platform::MessageBox(text, "提示", platform::MB_OK | platform::MB_ICONERROR);
  return false;
}

// The handle of the root named `root`; a name outside the table gives the invalid handle, with
// which every call fails.
HKEY Root(std::string_view root) {
  return platform::PredefinedKeyFromName(root);
}

}  // namespace

bool RegKeyExists(std::string_view root, std::string_view path) {
  HKEY key = 0;
  const LSTATUS status = platform::RegOpenKey(Root(root), path, &key);
  if (status == platform::ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS) return Failed("RegKeyExists", status);
  platform::RegCloseKey(key);
  return true;
}

bool RegCreateKey(std::string_view root, std::string_view path) {
  HKEY key = 0;
  const LSTATUS status = platform::RegCreateKey(Root(root), path, &key);
  if (status != ERROR_SUCCESS) return Failed("RegCreateKey", status);
  platform::RegCloseKey(key);
  return true;
}

bool RegSetKeyValueEx(std::string_view root, std::string_view path, std::string_view name,
                      std::string_view type, std::string_view value) {
  HKEY key = 0;
  LSTATUS status = platform::RegOpenKey(Root(root), path, &key);
  if (status != ERROR_SUCCESS) return Failed("RegSetKeyValueEx", status);
  if (type == "REG_DWORD") {
    std::int32_t number = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), number);
    const DWORD data = static_cast<DWORD>(number);
    status = error == std::errc() && end == value.data() + value.size()
                 ? platform::RegSetValueEx(key, name, platform::REG_DWORD, &data, sizeof data)
                 : platform::ERROR_INVALID_PARAMETER;
  } else {
    status = platform::RegSetValueEx(key, name, platform::REG_SZ, value.data(),
                                     static_cast<DWORD>(value.size()));
  }
  platform::RegCloseKey(key);
  return status == ERROR_SUCCESS || Failed("RegSetKeyValueEx", status);
}

}  // namespace tarvik::setup
