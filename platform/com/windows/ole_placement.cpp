#include "platform/com/windows/ole_placement.h"

#include "platform/com/com_object.h"

namespace tarvik::platform::com_bridge {

namespace {

// The container's site as the object model sees it: its window through IOleWindow.
class SiteBridge final : public com::ComObject<com::IOleClientSite, com::IOleWindow> {
 public:
  explicit SiteBridge(::IOleClientSite* site) : site_(site) { site_->AddRef(); }
  ~SiteBridge() override { site_->Release(); }

  com::HRESULT GetWindow(std::uintptr_t* window) override {
    if (window == nullptr) return E_POINTER;
    *window = 0;
    ::IOleWindow* container = nullptr;
    if (FAILED(site_->QueryInterface(IID_IOleWindow, reinterpret_cast<void**>(&container)))) {
      return S_OK;  // a site without a window: the control has no container window
    }
    HWND handle = nullptr;
    if (SUCCEEDED(container->GetWindow(&handle)))
      *window = reinterpret_cast<std::uintptr_t>(handle);
    container->Release();
    return S_OK;
  }

 private:
  ::IOleClientSite* site_;
};

template <typename T>
HRESULT NoObject(T** object) {
  if (object != nullptr) *object = nullptr;
  return E_NOTIMPL;
}

}  // namespace

OlePlacement::OlePlacement(::IUnknown& owner, com::ComPtr<com::IOleObject> inner)
    : owner_(owner), inner_(std::move(inner)) {}

OlePlacement::~OlePlacement() {
  if (site_ != nullptr) site_->Release();
}

HRESULT OlePlacement::QueryInterface(REFIID iid, void** object) {
  return owner_.QueryInterface(iid, object);
}

HRESULT OlePlacement::SetClientSite(::IOleClientSite* site) {
  if (site_ != nullptr) site_->Release();
  site_ = site;
  if (site_ == nullptr) return inner_->SetClientSite(nullptr);
  site_->AddRef();
  const com::ComPtr<SiteBridge> bridge = com::MakeObject<SiteBridge>(site_);
  return inner_->SetClientSite(bridge.get());
}

HRESULT OlePlacement::GetClientSite(::IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = site_;
  if (site_ != nullptr) site_->AddRef();
  return S_OK;
}

HRESULT OlePlacement::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  return NoObject(moniker);
}

HRESULT OlePlacement::GetClipboardData(DWORD, IDataObject** data) {
  return NoObject(data);
}

HRESULT OlePlacement::EnumVerbs(IEnumOLEVERB** verbs) {
  return NoObject(verbs);
}

HRESULT OlePlacement::GetUserType(DWORD, LPOLESTR* type) {
  return NoObject(type);
}

HRESULT OlePlacement::EnumAdvise(IEnumSTATDATA** advises) {
  return NoObject(advises);
}

HRESULT OlePlacement::GetMiscStatus(DWORD, DWORD* status) {
  if (status == nullptr) return E_POINTER;
  *status = OLEMISC_INVISIBLEATRUNTIME | OLEMISC_SETCLIENTSITEFIRST;
  return S_OK;
}

}  // namespace tarvik::platform::com_bridge
