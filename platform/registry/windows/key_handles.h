// The key handles of the registry calls (32-bit numbers) and the system's key handles they stand
// for. The predefined roots are the system's own roots; other handles are numbered from 1.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry/registry.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform::registry_keys {

// The system's handle for `key`; nothing for a closed or unknown handle.
std::optional<::HKEY> SystemKey(HKEY key);
// A handle for the system's open key `key`, which it now owns.
HKEY Adopt(::HKEY key);
// Closes a handle from Adopt; false for any other value.
bool Release(HKEY key);
bool IsPredefined(HKEY key);

// A key path as the system takes it: "\" between names, no empty name inside. ERROR_SUCCESS, or
// the reason the path is refused (as the registry calls refuse it on every system).
LSTATUS CheckedPath(std::string_view sub_key, std::wstring* path);

}  // namespace tarvik::platform::registry_keys
