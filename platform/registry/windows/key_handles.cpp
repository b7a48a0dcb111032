#include "platform/registry/windows/key_handles.h"

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/text/windows/wide_text.h"

namespace tarvik::platform::registry_keys {
namespace {

struct Table {
  std::mutex mutex;
  std::map<HKEY, ::HKEY> keys;
  HKEY next = 1;
};

Table& Handles() {
  static Table table;
  return table;
}

}  // namespace

bool IsPredefined(HKEY key) {
  return key >= HKEY_CLASSES_ROOT && key <= HKEY_DYN_DATA;
}

std::optional<::HKEY> SystemKey(HKEY key) {
  // The system's roots are the same numbers, sign-extended to a pointer.
  if (IsPredefined(key))
    return reinterpret_cast<::HKEY>(static_cast<::ULONG_PTR>(static_cast<::LONG>(key)));
  Table& table = Handles();
  std::lock_guard lock(table.mutex);
  const auto found = table.keys.find(key);
  if (found == table.keys.end()) return std::nullopt;
  return found->second;
}

HKEY Adopt(::HKEY key) {
  Table& table = Handles();
  std::lock_guard lock(table.mutex);
  const HKEY handle = table.next++;
  table.keys[handle] = key;
  return handle;
}

bool Release(HKEY key) {
  ::HKEY system_key = nullptr;
  {
    Table& table = Handles();
    std::lock_guard lock(table.mutex);
    const auto found = table.keys.find(key);
    if (found == table.keys.end()) return false;
    system_key = found->second;
    table.keys.erase(found);
  }
  ::RegCloseKey(system_key);
  return true;
}

LSTATUS CheckedPath(std::string_view sub_key, std::wstring* path) {
  if (sub_key.ends_with('\\')) sub_key.remove_suffix(1);
  if (sub_key.starts_with('\\') || sub_key.find("\\\\") != std::string_view::npos)
    return ERROR_BAD_PATHNAME;
  std::string_view rest = sub_key;
  while (!rest.empty()) {
    const std::size_t end = std::min(rest.find('\\'), rest.size());
    if (end > kMaxKeyNameLength) return ERROR_INVALID_PARAMETER;
    rest.remove_prefix(std::min(end + 1, rest.size()));
  }
  *path = WideFromUtf8(sub_key);
  return ERROR_SUCCESS;
}

}  // namespace tarvik::platform::registry_keys
