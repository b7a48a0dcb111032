// The control's registry methods: the registry for script hosts, with plain text arguments.
//
// A root key is named by its name or its literal, in any case ("HKEY_CURRENT_USER",
// "&H80000001"); any other text names no root and every call with it fails. In a key path "/"
// stands for "\" and one leading "\" is dropped. Texts are stored as the registry keeps them on
// this platform (UTF-8). No method raises: a failure gives False or the text "GetValueError".
#include <charconv>
#include <cstdio>
#include <cstring>
#include <vector>

#include "control/ftp_library.h"
#include "platform/registry/registry.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

using platform::DWORD;
using platform::ERROR_SUCCESS;
using platform::HKEY;
using platform::LSTATUS;

constexpr const char* kGetValueError = "GetValueError";

HKEY RootKey(std::string_view text) {
  const std::string upper = platform::ToUpperAscii(text);
  // "&H80000000" .. "&H80000006" are the handle values of the seven roots.
  constexpr std::string_view kLiteralStem = "&H8000000";
  if (upper.size() == kLiteralStem.size() + 1 && upper.starts_with(kLiteralStem) &&
      upper.back() >= '0' && upper.back() <= '6') {
    return platform::HKEY_CLASSES_ROOT + static_cast<HKEY>(upper.back() - '0');
  }
  return platform::PredefinedKeyFromName(upper);
}

std::string KeyPath(std::string_view sub_key) {
  std::string path(sub_key);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  if (!path.empty() && path.front() == '\\') path.erase(0, 1);
  return path;
}

// A key opened by root text and key path, closed when it goes out of scope.
class OpenedKey {
 public:
  OpenedKey(std::string_view root, std::string_view sub_key)
      : status_(platform::RegOpenKey(RootKey(root), KeyPath(sub_key), &key_)) {}
  ~OpenedKey() {
    if (status_ == ERROR_SUCCESS) platform::RegCloseKey(key_);
  }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;

  bool is_open() const { return status_ == ERROR_SUCCESS; }
  HKEY key() const { return key_; }

 private:
  HKEY key_ = 0;
  LSTATUS status_;
};

// The text as a 32-bit integer: decimal digits with an optional sign, blanks around them allowed.
bool ParseLong(std::string_view text, std::int32_t* value) {
  text = platform::Trim(text, platform::kSpaces);
  if (text.empty()) return false;
  if (text.starts_with('+')) text.remove_prefix(1);
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
  return error == std::errc() && end == text.data() + text.size();
}

std::string_view CutAtZero(std::string_view text) {
  return text.substr(0, text.find('\0'));
}

// Bytes as two-digit hexadecimal numbers separated by blanks: "0A FF 00".
std::string HexBytes(const std::vector<std::uint8_t>& bytes) {
  std::string text;
  for (const std::uint8_t byte : bytes) {
    char digits[4];
    std::snprintf(digits, sizeof digits, "%02X", byte);
    if (!text.empty()) text += ' ';
    text += digits;
  }
  return text;
}

// Deletes `path` below `parent`. A key that still has subkeys loses them first, always the first
// one enumerated, each by this same routine, stopping at the first that cannot be deleted.
bool DeleteKeyTree(HKEY parent, const std::string& path) {
  if (platform::RegDeleteKey(parent, path) == ERROR_SUCCESS) return true;
  HKEY key = 0;
  if (platform::RegOpenKey(parent, path, &key) != ERROR_SUCCESS) return false;
  std::string child;
  bool emptied = true;
  while (emptied && platform::RegEnumKey(key, 0, &child) == ERROR_SUCCESS) {
    emptied = DeleteKeyTree(key, child);
  }
  platform::RegCloseKey(key);
  return emptied && platform::RegDeleteKey(parent, path) == ERROR_SUCCESS;
}

}  // namespace

bool FtpLibrary::RegCreate(std::string_view hKey, std::string_view SubKey) {
  HKEY key = 0;
  if (platform::RegCreateKey(RootKey(hKey), KeyPath(SubKey), &key) != ERROR_SUCCESS) return false;
  platform::RegCloseKey(key);
  return true;
}

bool FtpLibrary::RegExists(std::string_view hKey, std::string_view SubKey) {
  return OpenedKey(hKey, SubKey).is_open();
}

bool FtpLibrary::RegSetValue(std::string_view hKey, std::string_view SubKey,
                             std::string_view Value) {
  return platform::RegSetValue(RootKey(hKey), KeyPath(SubKey), platform::REG_SZ, Value) ==
         ERROR_SUCCESS;
}

bool FtpLibrary::RegSetValueEx(std::string_view hKey, std::string_view SubKey,
                               std::string_view name, std::string_view Value,
                               std::string_view strType) {
  std::string_view type = platform::Trim(strType, platform::kSpaces);
  if (type.empty()) type = "REG_SZ";
  if (type != "REG_SZ" && type != "REG_DWORD") return false;
  const OpenedKey key(hKey, SubKey);  // the key must exist; it is not created
  if (!key.is_open()) return false;
  if (type == "REG_DWORD") {
    std::int32_t number = 0;
    if (!ParseLong(Value, &number)) return false;
    const DWORD data = static_cast<DWORD>(number);
    return platform::RegSetValueEx(key.key(), name, platform::REG_DWORD, &data, sizeof data) ==
           ERROR_SUCCESS;
  }
  return platform::RegSetValueEx(key.key(), name, platform::REG_SZ, Value.data(),
                                 static_cast<DWORD>(Value.size())) == ERROR_SUCCESS;
}

bool FtpLibrary::RegDelete(std::string_view hKey, std::string_view SubKey) {
  // An empty path names the root itself, which can never go: deleting "everything below it on
  // the way" would only wipe the whole root and still fail.
  const std::string path = KeyPath(SubKey);
  if (path.empty()) return false;
  return DeleteKeyTree(RootKey(hKey), path);
}

bool FtpLibrary::RegDeleteValue(std::string_view hKey, std::string_view SubKey) {
  return RegDeleteValueEx(hKey, SubKey, "");
}

bool FtpLibrary::RegDeleteValueEx(std::string_view hKey, std::string_view SubKey,
                                  std::string_view name) {
  const OpenedKey key(hKey, SubKey);
  return key.is_open() && platform::RegDeleteValue(key.key(), name) == ERROR_SUCCESS;
}

std::string FtpLibrary::RegGetValue(std::string_view hKey, std::string_view SubKey) {
  const HKEY root = RootKey(hKey);
  const std::string path = KeyPath(SubKey);
  DWORD size = 0;
  if (platform::RegQueryValue(root, path, nullptr, &size) != ERROR_SUCCESS) return kGetValueError;
  std::string text(size, '\0');
  if (platform::RegQueryValue(root, path, text.data(), &size) != ERROR_SUCCESS) {
    return kGetValueError;
  }
  return std::string(CutAtZero(text));
}

std::string FtpLibrary::RegGetValueEx(std::string_view hKey, std::string_view SubKey,
                                      std::string_view name) {
  const OpenedKey key(hKey, SubKey);
  if (!key.is_open()) return kGetValueError;
  DWORD type = 0;
  DWORD size = 0;
  if (platform::RegQueryValueEx(key.key(), name, &type, nullptr, &size) != ERROR_SUCCESS) {
    return kGetValueError;
  }
  std::vector<std::uint8_t> data(size);
  if (platform::RegQueryValueEx(key.key(), name, &type, data.data(), &size) != ERROR_SUCCESS) {
    return kGetValueError;
  }
  data.resize(size);
  switch (type) {
    case platform::REG_SZ:
      return std::string(CutAtZero({reinterpret_cast<const char*>(data.data()), data.size()}));
    case platform::REG_DWORD: {
      if (data.size() != sizeof(DWORD)) return kGetValueError;
      DWORD number = 0;
      std::memcpy(&number, data.data(), sizeof number);
      return std::to_string(static_cast<std::int32_t>(number));  // read back as the Long it was
    }
    case platform::REG_BINARY:
      return HexBytes(data);
    default:
      return kGetValueError;
  }
}

}  // namespace tarvik
