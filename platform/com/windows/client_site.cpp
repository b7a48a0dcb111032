#include "platform/com/windows/client_site.h"

namespace tarvik::platform::com_bridge {

::IOleClientSite* ClientSite::Expose(com::ComPtr<com::IOleClientSite> inner) {
  return new ClientSite(std::move(inner));
}

HRESULT ClientSite::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *object = static_cast<::IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow && window_) {
    *object = static_cast<::IOleWindow*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ClientSite::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ClientSite::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ClientSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  if (moniker != nullptr) *moniker = nullptr;
  return E_NOTIMPL;
}

HRESULT ClientSite::GetContainer(IOleContainer** container) {
  if (container != nullptr) *container = nullptr;
  return E_NOINTERFACE;
}

HRESULT ClientSite::GetWindow(HWND* window) {
  if (window == nullptr) return E_POINTER;
  *window = nullptr;
  std::uintptr_t handle = 0;
  const HRESULT status = window_->GetWindow(&handle);
  if (SUCCEEDED(status)) *window = reinterpret_cast<HWND>(handle);
  return status;
}

}  // namespace tarvik::platform::com_bridge
