// DllGetClassObject and DllCanUnloadNow (server_entry.h).
#include "platform/com/windows/server_entry.h"
#include "platform/com/windows/server_object.h"

namespace tarvik::platform::com_bridge {

namespace {

// The class factory of one creatable class.
class ServerFactory final : public ::IClassFactory {
 public:
  explicit ServerFactory(const com::ServerClass& server_class) : class_(server_class) {
    com::LockModule();
  }
  ServerFactory(const ServerFactory&) = delete;
  ServerFactory& operator=(const ServerFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (iid != IID_IUnknown && iid != IID_IClassFactory) return E_NOINTERFACE;
    *object = static_cast<::IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(::IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    com::ComPtr<com::IDispatch> inner;
    if (FAILED(class_.create().As(&inner))) return E_NOINTERFACE;
    ::IDispatch* made = ServerObject::Expose(inner);
    const HRESULT status = made->QueryInterface(iid, object);
    made->Release();
    return status;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      com::LockModule();
    } else {
      com::UnlockModule();
    }
    return S_OK;
  }

 private:
  ~ServerFactory() { com::UnlockModule(); }

  const com::ServerClass& class_;
  LONG references_ = 1;
};

}  // namespace

HRESULT GetServerClassObject(const com::ServerModule& module, REFCLSID clsid, REFIID iid,
                             void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const com::ServerClass& server_class : module.classes) {
    if (server_class.type->guid != FromSystem(clsid)) continue;
    ServerFactory* factory = new ServerFactory(server_class);
    const HRESULT status = factory->QueryInterface(iid, object);
    factory->Release();
    return status;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadServer() {
  return com::CanUnloadModule();
}

}  // namespace tarvik::platform::com_bridge
