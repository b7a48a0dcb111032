// TarvikTest.Container: a minimal container for the script suite, because Wine's script host has
// no WScript.ConnectObject and no WScript.Sleep, and the control raises OnTransfer only when its
// site gives it a container window.
//
//   Set box = CreateObject("TarvikTest.Container")
//   box.Place control, handler   ' puts the control (when it can be placed) on a site whose
//                                ' window is a message-only window of the container, and
//                                ' connects the control's default
//                                ' event interface to the handler: each event calls the
//                                ' handler's method of the same name, when it has one
//   box.Pump 200                 ' runs the thread's messages for 200 ms
//   box.Release                  ' takes the control off its site and disconnects the events
//
// The handler is a script object (a VBScript class instance, a JScript object); Wine's VBScript
// objects answer names only through IDispatchEx::GetDispID.
#include <windows.h>

// After windows.h, which they build on.
#include <dispex.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

#include <string>

namespace {

HINSTANCE module_instance;
LONG live_objects;

const CLSID kContainerClsid = {
    0x4A7E21C3, 0x58B0, 0x4F19, {0xA6, 0x2D, 0x93, 0x1E, 0x7C, 0x40, 0xB5, 0xD8}};
constexpr wchar_t kProgId[] = L"TarvikTest.Container";

// Reference counting of a one-interface object; `Extra` names one more interface it answers.
template <typename I>
class Counted : public I {
 public:
  Counted() { InterlockedIncrement(&live_objects); }
  virtual ~Counted() { InterlockedDecrement(&live_objects); }
  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&references_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return left;
  }

 protected:
  HRESULT Answer(void* self, void** object) {
    *object = self;
    AddRef();
    return S_OK;
  }

 private:
  LONG references_ = 1;
};

// Forwards each event of the control to the handler's method of the same name.
class EventForwarder final : public Counted<IDispatch> {
 public:
  EventForwarder(const IID& events, ITypeInfo* names, IDispatch* handler)
      : events_(events), names_(names), handler_(handler) {
    names_->AddRef();
    handler_->AddRef();
  }
  ~EventForwarder() override {
    names_->Release();
    handler_->Release();
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == events_) {
      return Answer(static_cast<IDispatch*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID locale, WORD, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* bad_argument) override {
    BSTR name = nullptr;
    UINT found = 0;
    if (FAILED(names_->GetNames(id, &name, 1, &found)) || found == 0) return S_OK;
    DISPID method = DISPID_UNKNOWN;
    IDispatchEx* script = nullptr;
    HRESULT status;
    if (SUCCEEDED(
            handler_->QueryInterface(__uuidof(IDispatchEx), reinterpret_cast<void**>(&script)))) {
      status = script->GetDispID(name, fdexNameCaseInsensitive, &method);
      if (SUCCEEDED(status)) {
        status =
            script->InvokeEx(method, locale, DISPATCH_METHOD, params, result, exception, nullptr);
      }
      script->Release();
    } else {
      status = handler_->GetIDsOfNames(IID_NULL, &name, 1, locale, &method);
      if (SUCCEEDED(status)) {
        status = handler_->Invoke(method, IID_NULL, locale, DISPATCH_METHOD, params, result,
                                  exception, bad_argument);
      }
    }
    SysFreeString(name);
    return status == DISP_E_UNKNOWNNAME ? S_OK : status;  // unhandled events are fine
  }

 private:
  IID events_;
  ITypeInfo* names_;
  IDispatch* handler_;
};

LRESULT CALLBACK SiteWindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  return DefWindowProcW(window, message, wparam, lparam);
}

// The site the control is placed on: its window is a message-only window of the container.
class Site final : public Counted<IOleClientSite>, public IOleWindow {
 public:
  Site() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = SiteWindowProc;
    window_class.hInstance = module_instance;
    window_class.lpszClassName = L"TarvikTestContainerSite";
    RegisterClassW(&window_class);  // fails harmlessly when already registered
    window_ = CreateWindowExW(0, window_class.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                              nullptr, module_instance, nullptr);
  }
  ~Site() override {
    if (window_ != nullptr) DestroyWindow(window_);
  }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      return Answer(static_cast<IOleClientSite*>(this), object);
    }
    if (iid == IID_IOleWindow) return Answer(static_cast<IOleWindow*>(this), object);
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return Counted<IOleClientSite>::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return Counted<IOleClientSite>::Release(); }
  // IOleClientSite: a container without documents or monikers.
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** moniker) override {
    *moniker = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP GetContainer(IOleContainer** container) override {
    *container = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IOleWindow
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = window_;
    return window_ != nullptr ? S_OK : E_FAIL;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  HWND window_ = nullptr;
};

// The default source interface of `object`'s class and the names of its events.
HRESULT FindEvents(IDispatch* object, IID* events, ITypeInfo** names) {
  IProvideClassInfo* class_info = nullptr;
  HRESULT status =
      object->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&class_info));
  ITypeInfo* type = nullptr;
  if (SUCCEEDED(status)) status = class_info->GetClassInfo(&type);
  if (class_info != nullptr) class_info->Release();
  if (FAILED(status)) return status;
  TYPEATTR* attributes = nullptr;
  status = type->GetTypeAttr(&attributes);
  *names = nullptr;
  for (UINT i = 0; SUCCEEDED(status) && *names == nullptr && i < attributes->cImplTypes; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    if (SUCCEEDED(type->GetImplTypeFlags(i, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) != 0 &&
        (flags & IMPLTYPEFLAG_FSOURCE) != 0 &&
        SUCCEEDED(type->GetRefTypeOfImplType(i, &reference))) {
      status = type->GetRefTypeInfo(reference, names);
    }
  }
  if (attributes != nullptr) type->ReleaseTypeAttr(attributes);
  type->Release();
  if (SUCCEEDED(status) && *names == nullptr) status = CONNECT_E_NOCONNECTION;
  if (FAILED(status)) return status;
  TYPEATTR* event_attributes = nullptr;
  status = (*names)->GetTypeAttr(&event_attributes);
  if (SUCCEEDED(status)) {
    *events = event_attributes->guid;
    (*names)->ReleaseTypeAttr(event_attributes);
  }
  return status;
}

// The argument at `index` counted left to right, as `type`.
HRESULT Argument(DISPPARAMS* params, UINT index, VARTYPE type, VARIANT* out) {
  VariantInit(out);
  if (index >= params->cArgs) return DISP_E_BADPARAMCOUNT;
  return VariantChangeType(out, &params->rgvarg[params->cArgs - 1 - index], 0, type);
}

class Container final : public Counted<IDispatch> {
 public:
  ~Container() override { Unplace(); }
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      return Answer(static_cast<IDispatch*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    static const wchar_t* const kMembers[] = {L"Place", L"Pump", L"Release"};
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (DISPID id = 0; id < 3; ++id) {
      if (_wcsicmp(names[0], kMembers[id]) == 0) ids[0] = id + 1;
    }
    return ids[0] != DISPID_UNKNOWN && count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    switch (id) {
      case 1:
        return Place(params);
      case 2:
        return Pump(params);
      case 3:
        Unplace();
        return S_OK;
      default:
        return DISP_E_MEMBERNOTFOUND;
    }
  }

 private:
  HRESULT Place(DISPPARAMS* params) {
    VARIANT control;
    VARIANT handler;
    HRESULT status = Argument(params, 0, VT_DISPATCH, &control);
    if (SUCCEEDED(status)) status = Argument(params, 1, VT_DISPATCH, &handler);
    if (SUCCEEDED(status)) status = Place(V_DISPATCH(&control), V_DISPATCH(&handler));
    VariantClear(&control);
    VariantClear(&handler);
    return status;
  }

  HRESULT Place(IDispatch* control, IDispatch* handler) {
    Unplace();
    // An object that cannot be placed still has its events connected.
    IOleObject* placed = nullptr;
    HRESULT status = S_OK;
    if (SUCCEEDED(control->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&placed)))) {
      site_ = new Site;
      status = placed->SetClientSite(site_);
      placed->Release();
    }
    IID events;
    ITypeInfo* names = nullptr;
    if (SUCCEEDED(status)) status = FindEvents(control, &events, &names);
    IConnectionPointContainer* points = nullptr;
    if (SUCCEEDED(status)) {
      status =
          control->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&points));
    }
    if (SUCCEEDED(status)) status = points->FindConnectionPoint(events, &point_);
    if (points != nullptr) points->Release();
    if (SUCCEEDED(status)) {
      EventForwarder* forwarder = new EventForwarder(events, names, handler);
      status = point_->Advise(forwarder, &cookie_);
      forwarder->Release();
    }
    if (names != nullptr) names->Release();
    control_ = control;
    control_->AddRef();
    if (FAILED(status)) Unplace();
    return status;
  }

  void Unplace() {
    if (point_ != nullptr) {
      if (cookie_ != 0) point_->Unadvise(cookie_);
      point_->Release();
      point_ = nullptr;
      cookie_ = 0;
    }
    if (control_ != nullptr) {
      IOleObject* placed = nullptr;
      if (SUCCEEDED(control_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&placed)))) {
        placed->SetClientSite(nullptr);
        placed->Release();
      }
      control_->Release();
      control_ = nullptr;
    }
    if (site_ != nullptr) {
      site_->Release();
      site_ = nullptr;
    }
  }

  static HRESULT Pump(DISPPARAMS* params) {
    VARIANT milliseconds;
    const HRESULT status = Argument(params, 0, VT_I4, &milliseconds);
    if (FAILED(status)) return status;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONG>(V_I4(&milliseconds));
    for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_ALLINPUT);
      MSG message;
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
    }
    return S_OK;
  }

  IDispatch* control_ = nullptr;
  Site* site_ = nullptr;
  IConnectionPoint* point_ = nullptr;
  DWORD cookie_ = 0;
};

class Factory final : public Counted<IClassFactory> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      return Answer(static_cast<IClassFactory*>(this), object);
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    Container* container = new Container;
    const HRESULT status = container->QueryInterface(iid, object);
    container->Release();
    return status;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

LSTATUS SetKey(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE,
                                   nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status;
}

std::wstring ClassKey() {
  wchar_t clsid[40];
  StringFromGUID2(kContainerClsid, clsid, 40);
  return std::wstring(L"CLSID\\") + clsid;
}

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) module_instance = instance;
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  *object = nullptr;
  if (clsid != kContainerClsid) return CLASS_E_CLASSNOTAVAILABLE;
  Factory* factory = new Factory;
  const HRESULT status = factory->QueryInterface(iid, object);
  factory->Release();
  return status;
}

STDAPI DllCanUnloadNow() {
  return live_objects == 0 ? S_OK : S_FALSE;
}

STDAPI DllRegisterServer() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(module_instance, path, MAX_PATH);
  wchar_t clsid[40];
  StringFromGUID2(kContainerClsid, clsid, 40);
  const std::wstring key = ClassKey();
  const bool written =
      SetKey(key + L"\\InprocServer32", nullptr, path) == ERROR_SUCCESS &&
      SetKey(key + L"\\InprocServer32", L"ThreadingModel", L"Apartment") == ERROR_SUCCESS &&
      SetKey(std::wstring(kProgId) + L"\\CLSID", nullptr, clsid) == ERROR_SUCCESS;
  return written ? S_OK : SELFREG_E_CLASS;
}

STDAPI DllUnregisterServer() {
  RegDeleteTreeW(HKEY_CLASSES_ROOT, ClassKey().c_str());
  RegDeleteKeyW(HKEY_CLASSES_ROOT, ClassKey().c_str());
  RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
  RegDeleteKeyW(HKEY_CLASSES_ROOT, kProgId);
  return S_OK;
}
