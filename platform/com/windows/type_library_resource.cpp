#include "platform/com/windows/type_library_resource.h"

#include <string>

namespace tarvik::platform::com_bridge {

namespace {

ITypeLib* LoadEmbeddedLibrary() {
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLibEx(ModulePath().c_str(), REGKIND_NONE, &library))) return nullptr;
  return library;
}

}  // namespace

std::wstring ModulePath() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&ModulePath), &module);
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

ITypeInfo* EmbeddedTypeInfo(const com::Guid& guid) {
  // Kept for the life of the process: descriptions handed out point into it.
  static ITypeLib* const library = LoadEmbeddedLibrary();
  ITypeInfo* type = nullptr;
  if (library == nullptr || FAILED(library->GetTypeInfoOfGuid(ToSystem(guid), &type))) {
    return nullptr;
  }
  return type;
}

}  // namespace tarvik::platform::com_bridge
