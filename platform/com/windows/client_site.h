// The site a host program places a control it created on (an object-model IOleClientSite) as the
// system's IOleClientSite, the form the control's IOleObject takes. It answers IOleWindow when the
// host's site has a window, with that window as the container's.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class ClientSite final : public ::IOleClientSite, public ::IOleWindow {
 public:
  // `inner` as a real site, with one reference the caller owns.
  static ::IOleClientSite* Expose(com::ComPtr<com::IOleClientSite> inner);

  ClientSite(const ClientSite&) = delete;
  ClientSite& operator=(const ClientSite&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;

  // IOleClientSite: a container without documents, monikers or layout of its own.
  HRESULT STDMETHODCALLTYPE SaveObject() override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** moniker) override;
  HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** container) override;
  HRESULT STDMETHODCALLTYPE ShowObject() override { return S_OK; }
  HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) override { return S_OK; }
  HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IOleWindow
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) override;
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  explicit ClientSite(com::ComPtr<com::IOleClientSite> inner) : inner_(std::move(inner)) {
    inner_.As(&window_);  // stays empty when the host's site has no window
  }
  ~ClientSite() = default;

  com::ComPtr<com::IOleClientSite> inner_;
  com::ComPtr<com::IOleWindow> window_;  // the host's window, when its site has one
  LONG references_ = 1;
};

}  // namespace tarvik::platform::com_bridge
