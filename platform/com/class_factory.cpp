#include "platform/com/class_factory.h"

namespace tarvik::platform::com {

HRESULT ClassFactory::CreateInstance(IUnknown* outer, const Guid& iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  const ComPtr<IUnknown> instance = class_.create();
  if (!instance) return E_OUTOFMEMORY;
  return instance->QueryInterface(iid, object);
}

HRESULT ClassFactory::LockServer(bool lock) {
  if (lock) {
    LockModule();
  } else {
    UnlockModule();
  }
  return S_OK;
}

HRESULT GetClassObject(const ServerModule& module, const Guid& clsid, const Guid& iid,
                       void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const ServerClass& server_class : module.classes) {
    if (server_class.type->guid == clsid && server_class.create != nullptr) {
      return MakeObject<ClassFactory>(server_class)->QueryInterface(iid, object);
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

}  // namespace tarvik::platform::com
