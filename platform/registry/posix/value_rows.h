// Reading and writing value rows of the store, and the Win32 buffer rules for handing data back.
// Internal to the registry.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/registry/posix/registry_store.h"

namespace tarvik::platform::registry_store {

// Sets value `name` of key `key` (keeping the spelling of a name that already exists). Call inside
// a write transaction.
LSTATUS StoreValue(sqlite3* db, KeyId key, std::string_view name, DWORD type, const void* data,
                   std::size_t size);
// Reads value `name` of key `key`; ERROR_FILE_NOT_FOUND when there is none.
LSTATUS LoadValue(sqlite3* db, KeyId key, std::string_view name, DWORD* type,
                  std::vector<std::uint8_t>* data);
// Hands `bytes` to a caller's buffer: with `data` null only *size is set; otherwise *size is the
// buffer size on entry, and a buffer too small gives ERROR_MORE_DATA with the size needed.
LSTATUS CopyToBuffer(const std::vector<std::uint8_t>& bytes, void* data, DWORD* size);
// The text of REG_SZ/REG_EXPAND_SZ data, up to its first zero byte.
std::string_view TextOfStringData(const std::vector<std::uint8_t>& data);

}  // namespace tarvik::platform::registry_store
