#include "platform/com/activation.h"

#include <map>
#include <mutex>

#include "platform/com/class_factory.h"
#include "platform/com/server_module.h"
#include "platform/registry/registry.h"
#include "platform/shell/dynamic_library.h"

namespace tarvik::platform::com {
namespace {

HRESULT Fail(std::string* detail, HRESULT status, std::string text) {
  if (detail != nullptr) *detail = std::move(text);
  return status;
}

// The server libraries loaded by this process, by path.
class LoadedLibraries {
 public:
  static LoadedLibraries& Instance() {
    static LoadedLibraries* instance = new LoadedLibraries();  // outlives static destructors
    return *instance;
  }

  // The DllGetClassObject of the library at `path`, loading it when needed.
  HRESULT ClassObjectEntry(const std::string& path, DllGetClassObjectFunction* entry,
                           std::string* error) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = libraries_.find(path);
    if (found == libraries_.end()) {
      DynamicLibrary library;
      if (!library.Open(path)) {
        *error = library.error();
        return CO_E_DLLNOTFOUND;
      }
      found = libraries_.emplace(path, std::move(library)).first;
    }
    *entry = found->second.Function<DllGetClassObjectFunction>("DllGetClassObject");
    if (*entry == nullptr) {
      *error = found->second.error();
      libraries_.erase(found);
      return CO_E_ERRORINDLL;
    }
    return S_OK;
  }

  void FreeUnused() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = libraries_.begin(); it != libraries_.end();) {
      auto can_unload = it->second.Function<DllEntryFunction>("DllCanUnloadNow");
      if (can_unload != nullptr && can_unload() == S_OK) {
        it = libraries_.erase(it);
      } else {
        ++it;
      }
    }
  }

 private:
  std::mutex mutex_;
  std::map<std::string, DynamicLibrary> libraries_;
};

}  // namespace

HRESULT CLSIDFromProgID(std::string_view prog_id, Guid* clsid, std::string* detail) {
  if (clsid == nullptr) return E_POINTER;
  *clsid = Guid{};
  std::string text;
  const LSTATUS status =
      prog_id.empty()
          ? ERROR_FILE_NOT_FOUND
          : ReadRegistryString(HKEY_CLASSES_ROOT, std::string(prog_id) + "\\CLSID", "", &text);
  if (status != ERROR_SUCCESS) {
    return Fail(detail, CO_E_CLASSSTRING,
                "'" + std::string(prog_id) + "' is not a registered ProgID");
  }
  const std::optional<Guid> parsed = Guid::Parse(text);
  if (!parsed) {
    return Fail(detail, CO_E_CLASSSTRING,
                "ProgID '" + std::string(prog_id) + "' names the malformed CLSID '" + text + "'");
  }
  *clsid = *parsed;
  return S_OK;
}

HRESULT CLSIDFromString(std::string_view text, Guid* clsid, std::string* detail) {
  if (clsid == nullptr) return E_POINTER;
  if (!text.empty() && text.front() == '{') {
    const std::optional<Guid> parsed = Guid::Parse(text);
    if (!parsed) {
      *clsid = Guid{};
      return Fail(detail, CO_E_CLASSSTRING, "'" + std::string(text) + "' is not a valid CLSID");
    }
    *clsid = *parsed;
    return S_OK;
  }
  return CLSIDFromProgID(text, clsid, detail);
}

HRESULT CoGetClassObject(const Guid& clsid, const Guid& iid, void** object, std::string* detail) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const std::string name = clsid.ToString();
  std::string path;
  if (ReadRegistryString(HKEY_CLASSES_ROOT, "CLSID\\" + name + "\\InprocServer32", "", &path) !=
          ERROR_SUCCESS ||
      path.empty()) {
    return Fail(detail, REGDB_E_CLASSNOTREG, "class " + name + " is not registered");
  }
  DllGetClassObjectFunction entry = nullptr;
  std::string error;
  HRESULT status = LoadedLibraries::Instance().ClassObjectEntry(path, &entry, &error);
  if (status == CO_E_DLLNOTFOUND) {
    return Fail(detail, status,
                "the server library '" + path + "' of class " + name + " failed to load: " + error);
  }
  if (status == CO_E_ERRORINDLL) {
    return Fail(detail, status,
                "the server library '" + path + "' of class " + name +
                    " does not export DllGetClassObject");
  }
  status = entry(clsid, iid, object);
  if (Failed(status)) {
    *object = nullptr;
    return Fail(detail, status,
                "the server library '" + path + "' does not provide class " + name + ": " +
                    StatusText(status));
  }
  return status;
}

HRESULT CoCreateInstance(const Guid& clsid, IUnknown* outer, const Guid& iid, void** object,
                         std::string* detail) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  void* raw = nullptr;
  HRESULT status = CoGetClassObject(clsid, IClassFactory::kIid, &raw, detail);
  if (Failed(status)) return status;
  const ComPtr<IClassFactory> factory =
      ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(raw));
  status = factory->CreateInstance(outer, iid, object);
  if (Failed(status)) {
    *object = nullptr;
    return Fail(detail, status,
                "class " + clsid.ToString() + " could not be created: " + StatusText(status));
  }
  return status;
}

void CoFreeUnusedLibraries() {
  LoadedLibraries::Instance().FreeUnused();
}

HRESULT CreateObject(std::string_view class_name, ComPtr<IDispatch>* object, std::string* detail) {
  if (object == nullptr) return E_POINTER;
  object->Reset();
  Guid clsid;
  HRESULT status = CLSIDFromString(class_name, &clsid, detail);
  if (Failed(status)) return status;
  void* raw = nullptr;
  status = CoCreateInstance(clsid, nullptr, IDispatch::kIid, &raw, detail);
  if (status == E_NOINTERFACE) {
    return Fail(detail, status,
                "class '" + std::string(class_name) + "' has no dispatch interface");
  }
  if (Failed(status)) return status;
  *object = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(raw));
  return S_OK;
}

}  // namespace tarvik::platform::com
