#include "platform/com/registration.h"

#include <filesystem>
#include <string_view>

#include "platform/registry/registry.h"

namespace tarvik::platform::com {
namespace {

std::string DescriptionOf(std::string_view help, std::string_view name) {
  return std::string(help.empty() ? name : help);
}

std::string ClassKey(const TypeInfo& type) {
  return "CLSID\\" + type.guid.ToString();
}

std::string TypeLibVersionKey(const TypeLibrary& library) {
  return "TypeLib\\" + library.guid.ToString() + "\\" + library.VersionText();
}

bool IsInterface(const TypeInfo& type) {
  return type.kind == TypeKind::kInterface || type.kind == TypeKind::kEventInterface;
}

// Writes the registry keys of one module; stops at the first failure.
class Writer {
 public:
  LSTATUS status() const { return status_; }

  // Sets value `name` of key `path` below HKEY_CLASSES_ROOT (creating the key).
  void Value(const std::string& path, std::string_view name, std::string_view text) {
    if (status_ == ERROR_SUCCESS) {
      status_ = WriteRegistryString(HKEY_CLASSES_ROOT, path, name, text);
    }
  }
  void Default(const std::string& path, std::string_view text) { Value(path, "", text); }
  // Creates key `path` without values.
  void Key(const std::string& path) {
    if (status_ != ERROR_SUCCESS) return;
    HKEY key = 0;
    status_ = RegCreateKey(HKEY_CLASSES_ROOT, path, &key);
    if (status_ == ERROR_SUCCESS) RegCloseKey(key);
  }

 private:
  LSTATUS status_ = ERROR_SUCCESS;
};

// Deletes `path` below `parent` with all its subkeys; a missing key is success.
LSTATUS DeleteKeyTree(HKEY parent, const std::string& path) {
  HKEY key = 0;
  LSTATUS status = RegOpenKey(parent, path, &key);
  if (status == ERROR_FILE_NOT_FOUND) return ERROR_SUCCESS;
  if (status != ERROR_SUCCESS) return status;
  std::string child;
  while (status == ERROR_SUCCESS && RegEnumKey(key, 0, &child) == ERROR_SUCCESS) {
    status = DeleteKeyTree(key, child);
  }
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return status;
  status = RegDeleteKey(parent, path);
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

// Keeps the first failure of a series of removals.
class Remover {
 public:
  LSTATUS status() const { return status_; }
  void Tree(const std::string& path) { Keep(DeleteKeyTree(HKEY_CLASSES_ROOT, path)); }
  // Deletes `path` when it has no subkeys left.
  void IfEmpty(const std::string& path) {
    HKEY key = 0;
    if (RegOpenKey(HKEY_CLASSES_ROOT, path, &key) != ERROR_SUCCESS) return;
    DWORD sub_keys = 0;
    const LSTATUS status = RegQueryInfoKey(key, &sub_keys, nullptr);
    RegCloseKey(key);
    if (status == ERROR_SUCCESS && sub_keys == 0) Tree(path);
  }

 private:
  void Keep(LSTATUS status) {
    if (status_ == ERROR_SUCCESS) status_ = status;
  }
  LSTATUS status_ = ERROR_SUCCESS;
};

}  // namespace

HRESULT RegisterServer(const ServerModule& module, const std::string& library_path) {
  const TypeLibrary& library = *module.library;
  const std::string libid = library.guid.ToString();
  const std::string version = library.VersionText();
  Writer writer;

  for (const ServerClass& server_class : module.classes) {
    if (server_class.create == nullptr) continue;
    const TypeInfo& type = *server_class.type;
    const std::string key = ClassKey(type);
    const std::string description = DescriptionOf(type.help, type.name);
    writer.Default(key, description);
    writer.Default(key + "\\InprocServer32", library_path);
    writer.Value(key + "\\InprocServer32", "ThreadingModel", "Apartment");
    writer.Default(key + "\\TypeLib", libid);
    writer.Default(key + "\\Version", version);
    if (server_class.is_control) writer.Key(key + "\\Control");
    if (!server_class.prog_id.empty()) {
      const std::string prog_id(server_class.prog_id);
      writer.Default(key + "\\ProgID", prog_id);
      writer.Default(prog_id, description);
      writer.Default(prog_id + "\\CLSID", type.guid.ToString());
    }
  }

  const std::string typelib_key = TypeLibVersionKey(library);
  writer.Default(typelib_key, DescriptionOf(library.help, library.name));
  writer.Default(typelib_key + "\\0\\win32", library_path);
  writer.Default(typelib_key + "\\FLAGS", "0");
  writer.Default(typelib_key + "\\HELPDIR",
                 std::filesystem::path(library_path).parent_path().string());
  for (const TypeInfo* type : library.types) {
    if (!IsInterface(*type)) continue;
    const std::string key = "Interface\\" + type->guid.ToString();
    writer.Default(key, type->name);
    writer.Default(key + "\\TypeLib", libid);
    writer.Value(key + "\\TypeLib", "Version", version);
  }

  if (writer.status() != ERROR_SUCCESS) {
    UnregisterServer(module);  // leave no half registration behind
    return HResultFromWin32(writer.status());
  }
  return S_OK;
}

HRESULT UnregisterServer(const ServerModule& module) {
  const TypeLibrary& library = *module.library;
  Remover remover;
  for (const ServerClass& server_class : module.classes) {
    const TypeInfo& type = *server_class.type;
    if (!server_class.prog_id.empty()) {
      const std::string prog_id(server_class.prog_id);
      std::string registered;
      // Another server may have taken the ProgID over since; its registration stays.
      if (ReadRegistryString(HKEY_CLASSES_ROOT, prog_id + "\\CLSID", "", &registered) ==
              ERROR_SUCCESS &&
          Guid::Parse(registered) == type.guid) {
        remover.Tree(prog_id);
      }
    }
    remover.Tree(ClassKey(type));
  }
  for (const TypeInfo* type : library.types) {
    if (IsInterface(*type)) remover.Tree("Interface\\" + type->guid.ToString());
  }
  remover.Tree(TypeLibVersionKey(library));
  remover.IfEmpty("TypeLib\\" + library.guid.ToString());
  return HResultFromWin32(remover.status());
}

}  // namespace tarvik::platform::com
