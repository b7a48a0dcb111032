// IOleInPlaceObject and IViewObject2 of a placed ServerObject (see ole_placement.h). The control
// is windowless and invisible at run time: it has no window of its own, draws nothing in the
// rectangle the container gives it, and reports the extent the container last set.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class OlePlacement;

class OleView final : public ::IOleInPlaceObject, public ::IViewObject2 {
 public:
  // A member of `placement`, sharing the reference count of `owner`.
  OleView(::IUnknown& owner, OlePlacement& placement) : owner_(owner), placement_(placement) {}
  ~OleView();
  OleView(const OleView&) = delete;
  OleView& operator=(const OleView&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return owner_.AddRef(); }
  ULONG STDMETHODCALLTYPE Release() override { return owner_.Release(); }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  // IOleInPlaceObject
  HRESULT STDMETHODCALLTYPE InPlaceDeactivate() override;
  HRESULT STDMETHODCALLTYPE UIDeactivate() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT, LPCRECT) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE ReactivateAndUndo() override { return INPLACE_E_NOTUNDOABLE; }

  // IViewObject
  HRESULT STDMETHODCALLTYPE Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                                 LPCRECTL bounds, LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                                 ULONG_PTR) override;
  HRESULT STDMETHODCALLTYPE GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC,
                                        LOGPALETTE** colors) override;
  HRESULT STDMETHODCALLTYPE Freeze(DWORD, LONG, void*, DWORD* cookie) override;
  HRESULT STDMETHODCALLTYPE Unfreeze(DWORD) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  HRESULT STDMETHODCALLTYPE GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  // IViewObject2
  HRESULT STDMETHODCALLTYPE GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) override;

 private:
  ::IUnknown& owner_;
  OlePlacement& placement_;
  // The container's view sink: kept and handed back, never called (the view never changes).
  IAdviseSink* sink_ = nullptr;
  DWORD sink_aspects_ = 0;
  DWORD sink_flags_ = 0;
};

}  // namespace tarvik::platform::com_bridge
