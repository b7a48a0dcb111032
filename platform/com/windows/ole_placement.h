// The faces a form host needs of a ServerObject whose inner object can be placed on a container's
// site: IOleObject (here), IOleInPlaceObject and IViewObject2 (ole_view.h), IPersistStreamInit and
// IPersistPropertyBag (ole_persistence.h). The container's real site reaches the object as an
// object-model site that answers IOleWindow with the container's window.
//
// The control has no visible face at run time: in-place activation tells the container's site
// and keeps an extent, drawing draws nothing, and there is nothing to load or save. The other
// members of IOleObject (monikers, data, advise sinks) answer E_NOTIMPL or their neutral value.
#pragma once

#include "platform/com/windows/ole_persistence.h"
#include "platform/com/windows/ole_view.h"
#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class OlePlacement final : public ::IOleObject {
 public:
  // A member of `owner`, sharing its reference count; `class_id` is the object's class.
  OlePlacement(::IUnknown& owner, com::ComPtr<com::IOleObject> inner, const CLSID& class_id);
  ~OlePlacement();
  OlePlacement(const OlePlacement&) = delete;
  OlePlacement& operator=(const OlePlacement&) = delete;

  // The face answering `iid` among those of the placement, without a reference; null when none.
  void* Face(REFIID iid);

  // In-place activation on the container's site; activating an active object does nothing.
  HRESULT ActivateInPlace(::IOleClientSite* site);
  void DeactivateInPlace();
  const SIZEL& extent() const { return extent_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

  HRESULT STDMETHODCALLTYPE SetClientSite(::IOleClientSite* site) override;
  HRESULT STDMETHODCALLTYPE GetClientSite(::IOleClientSite** site) override;
  HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE Close(DWORD) override;
  HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) override;
  HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) override;
  HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, ::IOleClientSite* site, LONG, HWND,
                                   LPCRECT) override;
  HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) override;
  HRESULT STDMETHODCALLTYPE Update() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE IsUpToDate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* class_id) override;
  HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) override;
  HRESULT STDMETHODCALLTYPE SetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, SIZEL* size) override;
  HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Unadvise(DWORD) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) override;
  HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) override;
  HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) override { return E_NOTIMPL; }

 private:
  ::IUnknown& owner_;
  com::ComPtr<com::IOleObject> inner_;
  CLSID class_id_;
  ::IOleClientSite* site_ = nullptr;            // the container's site, with a reference
  ::IOleInPlaceSite* in_place_site_ = nullptr;  // while active in place, with a reference
  SIZEL extent_;                                // in HIMETRIC units, as the container set it
  OleView view_;
  OlePersistence persistence_;
};

}  // namespace tarvik::platform::com_bridge
