// The registry: a persistent, hierarchical store of keys and typed values with the calls and
// results of the Win32 registry API. On Windows it is the system's registry (the wide-character
// calls; names and string data UTF-8 here, UTF-16 there). On Linux everything lives in one SQLite
// database, by default $TARVIK_ROOT/registry.db (TARVIK_ROOT defaults to ~/.local/share/tarvik);
// the variable TARVIK_REGISTRY names another file (platform/registry/posix/registry_store.h). The
// store is opened on first use.
//
// Behaviour, as on Windows:
// - Seven predefined roots (HKEY_CLASSES_ROOT ... HKEY_DYN_DATA) are always open and never closed
//   or deleted. A predefined root is an ordinary key here: values and subkeys can be stored under
//   each of them.
// - Key and value names compare without regard to case (letters A-Z; other characters compare
//   exactly) and keep the spelling they were created with. Key paths use "\" between names; a
//   single trailing "\" is ignored, an empty name inside a path ("a\\b", "\a") is refused with
//   ERROR_BAD_PATHNAME. A key name has at most 255 characters, a value name at most 16,383
//   (ERROR_INVALID_PARAMETER beyond).
// - The empty value name is the key's default value.
// - Names and string data are bytes, UTF-8 on this platform; the store keeps data exactly as given
//   (a REG_SZ written with or without its terminating zero is read back the same way), except
//   that the Windows registry adds the terminating zero a string was written without.
// - RegDeleteKey refuses a key that still has subkeys (ERROR_ACCESS_DENIED); a deleted key takes
// its
//   values with it, and handles still open on it answer ERROR_KEY_DELETED.
// - Subkeys enumerate in case-insensitive name order, values in the order they were first set.
//
// Durability: every write is one transaction; the database runs in write-ahead-log mode with full
// synchronisation and waits up to 30 s for a lock held by another process, so concurrent writers
// and a writer killed mid-way lose no committed value. A damaged or foreign database file is never
// rewritten: every call answers ERROR_BADDB until the file is repaired or replaced.
//
// No call throws. Every call is safe from any thread; handles belong to the process.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/error_codes.h"

namespace tarvik::platform {

using DWORD = std::uint32_t;
using HKEY = std::uint32_t;    // key handle: a predefined root or a handle returned by open/create
using REGSAM = std::uint32_t;  // access mask of an opened key

// The predefined roots, with their Win32 handle values.
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_PERFORMANCE_DATA = 0x80000004u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;
inline constexpr HKEY HKEY_DYN_DATA = 0x80000006u;
// The handle a caller uses for "no such root" (-1 as a 32-bit value); every call fails with it.
inline constexpr HKEY kInvalidKeyHandle = 0xFFFFFFFFu;

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights of an opened key. A call that needs a right the handle lacks answers
// ERROR_ACCESS_DENIED. RegOpenKey, RegCreateKey and the predefined roots have KEY_ALL_ACCESS.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_READ = 0x20019;
inline constexpr REGSAM KEY_WRITE = 0x20006;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;

inline constexpr std::size_t kMaxKeyNameLength = 255;
inline constexpr std::size_t kMaxValueNameLength = 16383;

// Predefined root by name ("HKEY_CURRENT_USER", any case); kInvalidKeyHandle for any other text.
HKEY PredefinedKeyFromName(std::string_view name);

// --- Keys ---

// Opens `sub_key` below `key`, creating every missing key on the way. An empty `sub_key` opens
// `key` again (a predefined root is returned as is). *result receives the new handle.
LSTATUS RegCreateKey(HKEY key, std::string_view sub_key, HKEY* result);
// Opens an existing key with all access; ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegOpenKey(HKEY key, std::string_view sub_key, HKEY* result);
// Opens an existing key with the rights `access`; `options` must be 0.
LSTATUS RegOpenKeyEx(HKEY key, std::string_view sub_key, DWORD options, REGSAM access,
                     HKEY* result);
// Closes a handle from RegCreateKey/RegOpenKey(Ex). Closing a predefined root succeeds and does
// nothing.
LSTATUS RegCloseKey(HKEY key);
// Deletes the key `sub_key` below `key` and its values. Fails with ERROR_ACCESS_DENIED while the
// key has subkeys, or for a predefined root. An empty `sub_key` deletes the key of `key` itself.
LSTATUS RegDeleteKey(HKEY key, std::string_view sub_key);
// The name of the subkey at `index` (0-based); ERROR_NO_MORE_ITEMS past the last one.
LSTATUS RegEnumKey(HKEY key, DWORD index, std::string* name);
// Numbers of direct subkeys and of values of `key`; either pointer may be null.
LSTATUS RegQueryInfoKey(HKEY key, DWORD* sub_keys, DWORD* values);

// --- Values ---

// Stores value `value_name` of `key`: `size` bytes at `data` with type `type`. A REG_DWORD takes
// exactly 4 bytes (ERROR_INVALID_PARAMETER otherwise).
LSTATUS RegSetValueEx(HKEY key, std::string_view value_name, DWORD type, const void* data,
                      DWORD size);
// Reads value `value_name` of `key`. *type (if given) receives the type. With `data` null, *size
// (if given) receives the size of the data. With `data`, *size holds the buffer size on entry and
// the data size on return; a buffer too small gives ERROR_MORE_DATA and the size needed.
LSTATUS RegQueryValueEx(HKEY key, std::string_view value_name, DWORD* type, void* data,
                        DWORD* size);
// Deletes value `value_name` of `key`; ERROR_FILE_NOT_FOUND when it does not exist.
LSTATUS RegDeleteValue(HKEY key, std::string_view value_name);
// The value at `index` (0-based, in the order values were first set): its name, and, for the
// pointers given, its type and data. ERROR_NO_MORE_ITEMS past the last one.
LSTATUS RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type,
                     std::vector<std::uint8_t>* data);

// The old default-value forms. RegSetValue creates `sub_key` when missing and sets its default
// value to `text` as REG_SZ with a terminating zero; `type` must be REG_SZ.
LSTATUS RegSetValue(HKEY key, std::string_view sub_key, DWORD type, std::string_view text);
// RegQueryValue reads the default value of the existing key `sub_key` as a zero-terminated text
// (`size` counts the zero). A key without a default value reads as the empty text, as on Windows;
// a default value that is not a string gives ERROR_INVALID_DATA. Buffer rules as RegQueryValueEx.
LSTATUS RegQueryValue(HKEY key, std::string_view sub_key, char* data, DWORD* size);

// --- Conveniences for the rest of the platform layer ---

// Reads the REG_SZ or REG_EXPAND_SZ value `value_name` of key `sub_key` below `key`, cut at its
// first zero. ERROR_INVALID_DATA for a value of another type.
LSTATUS ReadRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                           std::string* text);
// Creates key `sub_key` below `key` when missing and sets its value `value_name` to `text` as
// REG_SZ with a terminating zero, in one transaction.
LSTATUS WriteRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                            std::string_view text);

}  // namespace tarvik::platform
