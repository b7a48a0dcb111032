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

// The size a form gives the control until it sets one: 32 pixels square at 96 dots per inch, in
// HIMETRIC units (0.01 mm).
constexpr LONG kDefaultExtent = 847;

}  // namespace

OlePlacement::OlePlacement(::IUnknown& owner, com::ComPtr<com::IOleObject> inner,
                           const CLSID& class_id)
    : owner_(owner),
      inner_(std::move(inner)),
      class_id_(class_id),
      extent_{kDefaultExtent, kDefaultExtent},
      view_(owner, *this),
      persistence_(owner, class_id) {}

OlePlacement::~OlePlacement() {
  if (in_place_site_ != nullptr) in_place_site_->Release();
  if (site_ != nullptr) site_->Release();
}

void* OlePlacement::Face(REFIID iid) {
  if (iid == IID_IOleObject) return static_cast<::IOleObject*>(this);
  if (iid == IID_IOleWindow || iid == IID_IOleInPlaceObject)
    return static_cast<::IOleInPlaceObject*>(&view_);
  if (iid == IID_IViewObject || iid == IID_IViewObject2)
    return static_cast<::IViewObject2*>(&view_);
  if (iid == IID_IPersist || iid == IID_IPersistStreamInit)
    return static_cast<::IPersistStreamInit*>(&persistence_);
  if (iid == IID_IPersistPropertyBag) return static_cast<::IPersistPropertyBag*>(&persistence_);
  return nullptr;
}

HRESULT OlePlacement::ActivateInPlace(::IOleClientSite* site) {
  if (in_place_site_ != nullptr) return S_OK;
  ::IOleInPlaceSite* in_place = nullptr;
  if (site == nullptr ||
      FAILED(site->QueryInterface(IID_IOleInPlaceSite, reinterpret_cast<void**>(&in_place)))) {
    return S_OK;  // a site that cannot hold controls in place: there is nothing to show
  }
  if (in_place->CanInPlaceActivate() != S_OK) {
    in_place->Release();
    return E_FAIL;
  }
  const HRESULT status = in_place->OnInPlaceActivate();
  if (FAILED(status)) {
    in_place->Release();
    return status;
  }
  in_place_site_ = in_place;
  return S_OK;
}

void OlePlacement::DeactivateInPlace() {
  if (in_place_site_ == nullptr) return;
  ::IOleInPlaceSite* in_place = in_place_site_;
  in_place_site_ = nullptr;  // before the call: the site may ask the control to deactivate again
  in_place->OnInPlaceDeactivate();
  in_place->Release();
}

HRESULT OlePlacement::QueryInterface(REFIID iid, void** object) {
  return owner_.QueryInterface(iid, object);
}

HRESULT OlePlacement::Close(DWORD) {
  DeactivateInPlace();
  return S_OK;
}

HRESULT OlePlacement::DoVerb(LONG verb, LPMSG, ::IOleClientSite* site, LONG, HWND, LPCRECT) {
  if (site == nullptr) site = site_;
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE:  // no user interface of its own: in-place activation is all
      return ActivateInPlace(site);
    case OLEIVERB_HIDE:
      DeactivateInPlace();
      return S_OK;
    default:
      break;
  }
  if (verb < 0) return E_NOTIMPL;  // opening, properties: the control has no window for them
  // A verb of its own it does not have: the primary verb instead, as containers expect.
  const HRESULT status = ActivateInPlace(site);
  return FAILED(status) ? status : OLEOBJ_S_INVALIDVERB;
}

HRESULT OlePlacement::SetClientSite(::IOleClientSite* site) {
  DeactivateInPlace();
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

HRESULT OlePlacement::GetUserClassID(CLSID* class_id) {
  if (class_id == nullptr) return E_POINTER;
  *class_id = class_id_;
  return S_OK;
}

HRESULT OlePlacement::SetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  extent_ = *size;
  return S_OK;
}

HRESULT OlePlacement::GetExtent(DWORD aspect, SIZEL* size) {
  if (size == nullptr) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
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
