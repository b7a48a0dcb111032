// Value calls on the system's registry. String data is UTF-8 here and UTF-16 in the system's
// registry; it is converted both ways, and a string is always stored with its terminating zero.
#include <cstring>
#include <vector>

#include "platform/registry/registry.h"
#include "platform/registry/windows/key_handles.h"
#include "platform/text/windows/wide_text.h"
#include "platform/win32/windows_api.h"

namespace tarvik::platform {
namespace {

using registry_keys::SystemKey;

bool IsStringType(DWORD type) {
  return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ;
}

std::vector<std::uint8_t> ToSystemData(DWORD type, const void* data, DWORD size) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  if (!IsStringType(type)) return {bytes, bytes + size};
  std::wstring wide = WideFromUtf8(std::string_view(reinterpret_cast<const char*>(bytes), size));
  // Other programs read a string value up to its zero: one written without it gets it here, or
  // they would read whatever follows the data.
  if (type != REG_MULTI_SZ && (wide.empty() || wide.back() != L'\0')) wide.push_back(L'\0');
  const auto* wide_bytes = reinterpret_cast<const std::uint8_t*>(wide.data());
  return {wide_bytes, wide_bytes + wide.size() * sizeof(wchar_t)};
}

std::vector<std::uint8_t> FromSystemData(DWORD type, std::vector<std::uint8_t> data) {
  if (!IsStringType(type)) return data;
  std::wstring wide(data.size() / sizeof(wchar_t), L'\0');
  std::memcpy(wide.data(), data.data(), wide.size() * sizeof(wchar_t));
  const std::string text = Utf8FromWide(wide);
  return {text.begin(), text.end()};
}

// Value `name` of `key`, its data as the registry calls here give it.
LSTATUS ReadValue(::HKEY key, std::string_view name, DWORD* type,
                  std::vector<std::uint8_t>* data) {
  if (name.size() > kMaxValueNameLength) return ERROR_INVALID_PARAMETER;
  const std::wstring wide_name = WideFromUtf8(name);
  ::DWORD system_type = REG_NONE, size = 0;
  LSTATUS status = ERROR_MORE_DATA;
  std::vector<std::uint8_t> bytes;
  while (status == ERROR_MORE_DATA) {
    status = RegQueryValueExW(key, wide_name.c_str(), nullptr, &system_type, nullptr, &size);
    if (status != ERROR_SUCCESS) return status;
    bytes.resize(size);
    status = RegQueryValueExW(key, wide_name.c_str(), nullptr, &system_type, bytes.data(), &size);
  }
  if (status != ERROR_SUCCESS) return status;
  bytes.resize(size);
  *type = system_type;
  *data = FromSystemData(system_type, std::move(bytes));
  return ERROR_SUCCESS;
}

LSTATUS CopyToBuffer(const std::vector<std::uint8_t>& bytes, void* data, DWORD* size) {
  const auto needed = static_cast<DWORD>(bytes.size());
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  const DWORD room = *size;
  *size = needed;
  if (room < needed) return ERROR_MORE_DATA;
  std::memcpy(data, bytes.data(), bytes.size());
  return ERROR_SUCCESS;
}

// The text of string data, cut at its first zero.
std::string TextOf(const std::vector<std::uint8_t>& data) {
  std::string text(data.begin(), data.end());
  if (const std::size_t zero = text.find('\0'); zero != std::string::npos) text.resize(zero);
  return text;
}

// Opens `sub_key` of `key` with `access`, for one call.
class ScopedKey {
 public:
  ScopedKey(HKEY key, std::string_view sub_key, bool create) {
    status_ = create ? RegCreateKey(key, sub_key, &key_) : RegOpenKey(key, sub_key, &key_);
  }
  ~ScopedKey() {
    if (status_ == ERROR_SUCCESS) RegCloseKey(key_);
  }
  ScopedKey(const ScopedKey&) = delete;
  ScopedKey& operator=(const ScopedKey&) = delete;
  LSTATUS status() const { return status_; }
  HKEY key() const { return key_; }

 private:
  HKEY key_ = 0;
  LSTATUS status_ = ERROR_SUCCESS;
};

}  // namespace

LSTATUS RegSetValueEx(HKEY key, std::string_view value_name, DWORD type, const void* data,
                      DWORD size) {
  if (value_name.size() > kMaxValueNameLength || (data == nullptr && size > 0) ||
      (type == REG_DWORD && size != 4))
    return ERROR_INVALID_PARAMETER;
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  const std::vector<std::uint8_t> bytes = ToSystemData(type, data, size);
  return RegSetValueExW(*system_key, WideFromUtf8(value_name).c_str(), 0, type, bytes.data(),
                        static_cast<::DWORD>(bytes.size()));
}

LSTATUS RegQueryValueEx(HKEY key, std::string_view value_name, DWORD* type, void* data,
                        DWORD* size) {
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  DWORD found_type = REG_NONE;
  std::vector<std::uint8_t> bytes;
  if (const LSTATUS status = ReadValue(*system_key, value_name, &found_type, &bytes);
      status != ERROR_SUCCESS)
    return status;
  if (type != nullptr) *type = found_type;
  return CopyToBuffer(bytes, data, size);
}

LSTATUS RegDeleteValue(HKEY key, std::string_view value_name) {
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  return RegDeleteValueW(*system_key, WideFromUtf8(value_name).c_str());
}

LSTATUS RegEnumValue(HKEY key, DWORD index, std::string* name, DWORD* type,
                     std::vector<std::uint8_t>* data) {
  if (name == nullptr) return ERROR_INVALID_PARAMETER;
  const auto system_key = SystemKey(key);
  if (!system_key) return ERROR_INVALID_HANDLE;
  std::wstring buffer(kMaxValueNameLength + 1, L'\0');
  ::DWORD length = static_cast<::DWORD>(buffer.size());
  const LSTATUS status = RegEnumValueW(*system_key, index, buffer.data(), &length, nullptr,
                                       nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return status;
  *name = Utf8FromWide(std::wstring_view(buffer.data(), length));
  if (type == nullptr && data == nullptr) return ERROR_SUCCESS;
  DWORD found_type = REG_NONE;
  std::vector<std::uint8_t> bytes;
  if (const LSTATUS read = ReadValue(*system_key, *name, &found_type, &bytes);
      read != ERROR_SUCCESS)
    return read;
  if (type != nullptr) *type = found_type;
  if (data != nullptr) *data = std::move(bytes);
  return ERROR_SUCCESS;
}

LSTATUS RegSetValue(HKEY key, std::string_view sub_key, DWORD type, std::string_view text) {
  if (type != REG_SZ) return ERROR_INVALID_PARAMETER;
  return WriteRegistryString(key, sub_key, "", text);
}

LSTATUS RegQueryValue(HKEY key, std::string_view sub_key, char* data, DWORD* size) {
  if (data != nullptr && size == nullptr) return ERROR_INVALID_PARAMETER;
  const ScopedKey opened(key, sub_key, /*create=*/false);
  if (opened.status() != ERROR_SUCCESS) return opened.status();
  DWORD type = REG_SZ;
  std::vector<std::uint8_t> bytes;
  const LSTATUS status = ReadValue(*SystemKey(opened.key()), "", &type, &bytes);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return status;
  if (!IsStringType(type)) return ERROR_INVALID_DATA;
  // Always a zero-terminated text, whether or not the stored data carried its zero.
  const std::string text = TextOf(bytes);
  std::vector<std::uint8_t> terminated(text.begin(), text.end());
  terminated.push_back(0);
  return CopyToBuffer(terminated, data, size);
}

LSTATUS ReadRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                           std::string* text) {
  if (text == nullptr) return ERROR_INVALID_PARAMETER;
  const ScopedKey opened(key, sub_key, /*create=*/false);
  if (opened.status() != ERROR_SUCCESS) return opened.status();
  DWORD type = REG_NONE;
  std::vector<std::uint8_t> bytes;
  const LSTATUS status = ReadValue(*SystemKey(opened.key()), value_name, &type, &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (!IsStringType(type)) return ERROR_INVALID_DATA;
  *text = TextOf(bytes);
  return ERROR_SUCCESS;
}

LSTATUS WriteRegistryString(HKEY key, std::string_view sub_key, std::string_view value_name,
                            std::string_view text) {
  const ScopedKey created(key, sub_key, /*create=*/true);
  if (created.status() != ERROR_SUCCESS) return created.status();
  std::string terminated(text);
  terminated.push_back('\0');
  return RegSetValueEx(created.key(), value_name, REG_SZ, terminated.data(),
                       static_cast<DWORD>(terminated.size()));
}

}  // namespace tarvik::platform
