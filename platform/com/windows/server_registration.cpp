// DllRegisterServer and DllUnregisterServer (server_entry.h).
#include <string>

#include "platform/com/windows/server_entry.h"
#include "platform/com/windows/type_library_resource.h"
#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

namespace {

// Writes `key` (created as needed) under HKEY_CLASSES_ROOT with value `name` (nullptr: the
// default value) set to `value`; a null `value` creates the key only.
LSTATUS SetKey(const std::wstring& key, const wchar_t* name, const std::wstring* value) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  if (value != nullptr) {
    status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value->c_str()),
                            static_cast<DWORD>((value->size() + 1) * sizeof(wchar_t)));
  }
  RegCloseKey(handle);
  return status;
}

LSTATUS SetDefault(const std::wstring& key, const std::wstring& value) {
  return SetKey(key, nullptr, &value);
}

// The default value of HKEY_CLASSES_ROOT\`key`; empty when absent.
std::wstring ReadDefault(const std::wstring& key) {
  wchar_t value[256] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  return value;
}

void DeleteTree(const std::wstring& key) {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
  RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
}

std::wstring GuidKey(const com::Guid& guid) {
  return Wide(guid.ToString());
}

std::wstring Description(const com::TypeInfo& type) {
  return Wide(type.help.empty() ? type.name : type.help);
}

LSTATUS RegisterServerClass(const com::ServerClass& server_class, const com::TypeLibrary& library,
                            const std::wstring& path) {
  const std::wstring clsid = GuidKey(server_class.type->guid);
  const std::wstring key = L"CLSID\\" + clsid;
  const std::wstring apartment = L"Apartment";
  LSTATUS status = SetDefault(key, Description(*server_class.type));
  if (status == ERROR_SUCCESS) status = SetDefault(key + L"\\InprocServer32", path);
  if (status == ERROR_SUCCESS) {
    status = SetKey(key + L"\\InprocServer32", L"ThreadingModel", &apartment);
  }
  if (status == ERROR_SUCCESS) status = SetDefault(key + L"\\TypeLib", GuidKey(library.guid));
  if (status == ERROR_SUCCESS) status = SetDefault(key + L"\\Version", Wide(library.VersionText()));
  if (status == ERROR_SUCCESS && server_class.is_control) {
    status = SetKey(key + L"\\Control", nullptr, nullptr);
  }
  if (status != ERROR_SUCCESS || server_class.prog_id.empty()) return status;
  const std::wstring prog_id = Wide(server_class.prog_id);
  status = SetDefault(key + L"\\ProgID", prog_id);
  if (status == ERROR_SUCCESS) status = SetDefault(prog_id, Description(*server_class.type));
  if (status == ERROR_SUCCESS) status = SetDefault(prog_id + L"\\CLSID", clsid);
  return status;
}

void UnregisterServerClass(const com::ServerClass& server_class) {
  const std::wstring clsid = GuidKey(server_class.type->guid);
  DeleteTree(L"CLSID\\" + clsid);
  if (server_class.prog_id.empty()) return;
  const std::wstring prog_id = Wide(server_class.prog_id);
  if (ReadDefault(prog_id + L"\\CLSID") == clsid) DeleteTree(prog_id);
}

}  // namespace

HRESULT RegisterInprocServer(const com::ServerModule& module) {
  const std::wstring path = ModulePath();
  for (const com::ServerClass& server_class : module.classes) {
    if (RegisterServerClass(server_class, *module.library, path) != ERROR_SUCCESS) {
      UnregisterInprocServer(module);
      return SELFREG_E_CLASS;
    }
  }
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLibEx(path.c_str(), REGKIND_REGISTER, &library))) {
    UnregisterInprocServer(module);
    return SELFREG_E_TYPELIB;
  }
  library->Release();
  return S_OK;
}

HRESULT UnregisterInprocServer(const com::ServerModule& module) {
  for (const com::ServerClass& server_class : module.classes) UnregisterServerClass(server_class);
  const com::TypeLibrary& library = *module.library;
  UnRegisterTypeLib(ToSystem(library.guid), library.major_version, library.minor_version,
                    LOCALE_NEUTRAL, SYS_WIN64);
  DeleteTree(L"TypeLib\\" + GuidKey(library.guid));
  for (const com::TypeInfo* type : library.types) {
    if (type->kind == com::TypeKind::kInterface || type->kind == com::TypeKind::kEventInterface) {
      DeleteTree(L"Interface\\" + GuidKey(type->guid));
    }
  }
  return S_OK;
}

}  // namespace tarvik::platform::com_bridge
