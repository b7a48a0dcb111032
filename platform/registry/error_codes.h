// Win32 system error codes returned by the stand-in layer. The values are those of the Windows
// API, so that code written against it (and the error texts keyed by number) carries over as is.
// Other platform services that need a system error code take it from here, so that each number is
// defined once.
#pragma once

namespace tarvik::platform {

using LSTATUS = long;  // result of a registry call: ERROR_SUCCESS or one of the codes below

inline constexpr LSTATUS ERROR_SUCCESS = 0;
inline constexpr LSTATUS ERROR_FILE_NOT_FOUND = 2;  // key or value does not exist
inline constexpr LSTATUS ERROR_ACCESS_DENIED = 5;   // handle lacks the right, key has subkeys,
                                                    // a predefined root, or a read-only store
inline constexpr LSTATUS ERROR_INVALID_HANDLE = 6;  // null, closed or unknown key handle
inline constexpr LSTATUS ERROR_NOT_ENOUGH_MEMORY = 8;
inline constexpr LSTATUS ERROR_INVALID_DATA = 13;  // stored value has the wrong type for the call
inline constexpr LSTATUS ERROR_DISK_FULL = 112;
inline constexpr LSTATUS ERROR_INVALID_PARAMETER = 87;  // over-long or malformed name, bad size
inline constexpr LSTATUS ERROR_BAD_PATHNAME = 161;      // key path with an empty component
inline constexpr LSTATUS ERROR_BUSY = 170;       // the store stayed locked by another process
inline constexpr LSTATUS ERROR_MORE_DATA = 234;  // caller's buffer too small; size says how much
inline constexpr LSTATUS ERROR_NO_MORE_ITEMS = 259;  // enumeration index past the end
inline constexpr LSTATUS ERROR_BADDB = 1009;         // the store file is damaged or not a store
inline constexpr LSTATUS ERROR_REGISTRY_IO_FAILED = 1016;  // the store cannot be opened or written
inline constexpr LSTATUS ERROR_KEY_DELETED = 1018;         // the key of an open handle was deleted

}  // namespace tarvik::platform
