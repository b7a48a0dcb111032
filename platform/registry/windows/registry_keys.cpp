// Key calls on the system's registry: create, open, close, delete, enumerate.
#include <vector>

#include "platform/registry/registry.h"
#include "platform/registry/windows/key_handles.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {

using registry_keys::Adopt;
using registry_keys::CheckedPath;
using registry_keys::IsPredefined;
using registry_keys::Release;
using registry_keys::SystemKey;

LSTATUS RegCreateKey(HKEY key, std::string_view sub_key, HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  std::wstring path;
  if (const LSTATUS status = CheckedPath(sub_key, &path); status != ERROR_SUCCESS) return status;
  const auto parent = SystemKey(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (path.empty() && IsPredefined(key)) {
    *result = key;
    return ERROR_SUCCESS;
  }
  ::HKEY created = nullptr;
  const LSTATUS status = RegCreateKeyExW(*parent, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                         nullptr, &created, nullptr);
  if (status == ERROR_SUCCESS) *result = Adopt(created);
  return status;
}

LSTATUS RegOpenKeyEx(HKEY key, std::string_view sub_key, DWORD options, REGSAM access,
                     HKEY* result) {
  if (result == nullptr || options != 0) return ERROR_INVALID_PARAMETER;
  std::wstring path;
  if (const LSTATUS status = CheckedPath(sub_key, &path); status != ERROR_SUCCESS) return status;
  const auto parent = SystemKey(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (path.empty() && IsPredefined(key)) {
    *result = key;
    return ERROR_SUCCESS;
  }
  ::HKEY opened = nullptr;
  const LSTATUS status = RegOpenKeyExW(*parent, path.c_str(), 0, access, &opened);
  if (status == ERROR_SUCCESS) *result = Adopt(opened);
  return status;
}

LSTATUS RegOpenKey(HKEY key, std::string_view sub_key, HKEY* result) {
  return RegOpenKeyEx(key, sub_key, 0, KEY_ALL_ACCESS, result);
}

LSTATUS RegCloseKey(HKEY key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  return Release(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegDeleteKey(HKEY key, std::string_view sub_key) {
  std::wstring path;
  if (const LSTATUS status = CheckedPath(sub_key, &path); status != ERROR_SUCCESS) return status;
  const auto parent = SystemKey(key);
  if (!parent) return ERROR_INVALID_HANDLE;
  if (path.empty() && IsPredefined(key)) return ERROR_ACCESS_DENIED;
  // The system deletes a key with subkeys too; the registry calls here refuse it.
  ::HKEY target = nullptr;
  LSTATUS status = RegOpenKeyExW(*parent, path.c_str(), 0, KEY_READ, &target);
  if (status != ERROR_SUCCESS) return status;
  ::DWORD sub_keys = 0;
  status = RegQueryInfoKeyW(target, nullptr, nullptr, nullptr, &sub_keys, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr, nullptr);
  ::RegCloseKey(target);
  if (status != ERROR_SUCCESS) return status;
  if (sub_keys > 0) return ERROR_ACCESS_DENIED;
  return RegDeleteKeyW(*parent, path.c_str());
}

LSTATUS RegEnumKey(HKEY key, DWORD index, std::string* name) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  wchar_t buffer[kMaxKeyNameLength + 1];
  ::DWORD length = kMaxKeyNameLength + 1;
  const LSTATUS status =
      RegEnumKeyExW(*system_key, index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
  if (status == ERROR_SUCCESS) *name = Utf8FromWide(std::wstring_view(buffer, length));
  return status;
}

LSTATUS RegQueryInfoKey(HKEY key, DWORD* sub_keys, DWORD* values) {
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  ::DWORD key_count = 0, value_count = 0;
  const LSTATUS status = RegQueryInfoKeyW(*system_key, nullptr, nullptr, nullptr, &key_count,
                                          nullptr, nullptr, &value_count, nullptr, nullptr,
                                          nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  if (sub_keys != nullptr) *sub_keys = key_count;
  if (values != nullptr) *values = value_count;
  return ERROR_SUCCESS;
}

}  // namespace tarvik::platform
