// Names and paths of keys, and walking the key tree of the store. Internal to the registry.
#pragma once

#include <string_view>
#include <vector>

#include "platform/registry/posix/registry_store.h"

namespace tarvik::platform::registry_store {

// Splits "a\b\c" into its key names. A single trailing "\" is ignored; an empty name anywhere
// else gives ERROR_BAD_PATHNAME; a name over 255 characters or holding a zero byte gives
// ERROR_INVALID_PARAMETER. An empty path gives no names.
LSTATUS SplitKeyPath(std::string_view path, std::vector<std::string_view>* names);
// ERROR_INVALID_PARAMETER for a value name over 16,383 characters or holding a zero byte.
LSTATUS CheckValueName(std::string_view name);

// Finds the key `names` below `parent`; ERROR_FILE_NOT_FOUND when any of them is missing.
LSTATUS FindKey(sqlite3* db, KeyId parent, const std::vector<std::string_view>& names, KeyId* id);
// Finds or creates the key `names` below `parent`. Call inside a write transaction.
LSTATUS CreateKeyPath(sqlite3* db, KeyId parent, const std::vector<std::string_view>& names,
                      KeyId* id);
// Number of direct subkeys of `id`.
LSTATUS CountSubKeys(sqlite3* db, KeyId id, std::int64_t* count);

}  // namespace tarvik::platform::registry_store
