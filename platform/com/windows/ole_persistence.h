// IPersistStreamInit and IPersistPropertyBag of a placed ServerObject (see ole_placement.h). The
// control persists nothing: a form host may initialise, load and save it, and each of these
// succeeds without reading or writing a byte.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class OlePersistence final : public ::IPersistStreamInit, public ::IPersistPropertyBag {
 public:
  // A member of `owner`, sharing its reference count; `class_id` is the object's class.
  OlePersistence(::IUnknown& owner, const CLSID& class_id) : owner_(owner), class_id_(class_id) {}
  OlePersistence(const OlePersistence&) = delete;
  OlePersistence& operator=(const OlePersistence&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
    return owner_.QueryInterface(iid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

  // IPersist, shared by both.
  HRESULT STDMETHODCALLTYPE GetClassID(CLSID* class_id) override;
  // IPersistStreamInit
  HRESULT STDMETHODCALLTYPE IsDirty() override { return S_FALSE; }
  HRESULT STDMETHODCALLTYPE Load(IStream* stream) override;
  HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL) override;
  HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override;
  // IPersistStreamInit and IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE InitNew() override { return S_OK; }
  // IPersistPropertyBag
  HRESULT STDMETHODCALLTYPE Load(IPropertyBag* bag, IErrorLog*) override;
  HRESULT STDMETHODCALLTYPE Save(IPropertyBag* bag, BOOL, BOOL) override;

 private:
  ::IUnknown& owner_;
  CLSID class_id_;
};

}  // namespace tarvik::platform::com_bridge
