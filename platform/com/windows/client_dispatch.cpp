#include "platform/com/windows/client_dispatch.h"

#include <vector>

#include "platform/com/windows/bridge_values.h"
#include "platform/com/windows/client_site.h"
#include "platform/com/windows/system_type_info.h"
#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

namespace {

// Answered only by ClientDispatch, so that an object going back is unwrapped.
constexpr com::Guid kClientDispatchIid = com::MakeGuid("{8F2B6D14-93C7-4E5A-B0D1-6E4A27C9F385}");

void ReadException(EXCEPINFO& exception, com::InvokeError* error) {
  if (exception.pfnDeferredFillIn != nullptr) exception.pfnDeferredFillIn(&exception);
  if (error != nullptr) {
    error->source = FromBstr(exception.bstrSource);
    error->description = FromBstr(exception.bstrDescription);
  }
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
}

// One of the system's connection points as the object model's: an object-model sink is exposed to
// the system as a ServerObject.
class ClientConnectionPoint final : public com::ComObject<com::IConnectionPoint> {
 public:
  explicit ClientConnectionPoint(::IConnectionPoint* system) : system_(system) {}
  ~ClientConnectionPoint() override { system_->Release(); }

  com::HRESULT GetConnectionInterface(com::Guid* iid) override {
    if (iid == nullptr) return E_POINTER;
    IID events;
    const HRESULT status = system_->GetConnectionInterface(&events);
    if (SUCCEEDED(status)) *iid = FromSystem(events);
    return status;
  }
  com::HRESULT GetConnectionPointContainer(com::IConnectionPointContainer** container) override {
    if (container != nullptr) *container = nullptr;
    return E_NOTIMPL;  // nothing here asks a point for its owner
  }
  com::HRESULT Advise(com::IUnknown* sink, std::uint32_t* cookie) override {
    if (sink == nullptr || cookie == nullptr) return E_POINTER;
    com::ComPtr<com::IDispatch> inner_sink;
    if (com::Failed(com::ComPtr<com::IUnknown>(sink).As(&inner_sink))) {
      return CONNECT_E_CANNOTCONNECT;
    }
    ::IDispatch* exposed = Export(inner_sink);
    DWORD connection = 0;
    const HRESULT status = system_->Advise(exposed, &connection);
    exposed->Release();
    *cookie = SUCCEEDED(status) ? connection : 0;
    return status;
  }
  com::HRESULT Unadvise(std::uint32_t cookie) override { return system_->Unadvise(cookie); }

 private:
  ::IConnectionPoint* system_;  // with a reference
};

}  // namespace

ClientDispatch::ClientDispatch(::IDispatch* system) : system_(system) {
  system_->AddRef();
}

ClientDispatch::~ClientDispatch() {
  system_->Release();
}

com::ComPtr<com::IDispatch> ClientDispatch::Wrap(::IDispatch* system) {
  if (system == nullptr) return {};
  return com::MakeObject<ClientDispatch>(system);
}

::IDispatch* ClientDispatch::SystemOf(com::IDispatch* object) {
  void* found = nullptr;
  if (object == nullptr || com::Failed(object->QueryInterface(kClientDispatchIid, &found))) {
    return nullptr;
  }
  ClientDispatch* client = static_cast<ClientDispatch*>(static_cast<com::IDispatch*>(found));
  ::IDispatch* system = client->system_;
  system->AddRef();
  client->Release();
  return system;
}

const com::TypeInfo* ClientDispatch::GetTypeInfo() {
  if (!type_asked_) {
    type_asked_ = true;
    ITypeInfo* type = nullptr;
    if (SUCCEEDED(system_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &type))) {
      type_ = DescribeSystemType(type);
      type->Release();
    }
  }
  return type_;
}

#pragma push_macro("GetClassInfo")
#undef GetClassInfo
com::HRESULT ClientDispatch::GetClassInfo(const com::TypeInfo** type) {
#pragma pop_macro("GetClassInfo")
  if (type == nullptr) return E_POINTER;
  *type = nullptr;
  ::IProvideClassInfo* info = nullptr;
  if (FAILED(system_->QueryInterface(IID_IProvideClassInfo, reinterpret_cast<void**>(&info)))) {
    return E_NOTIMPL;
  }
  ITypeInfo* class_type = nullptr;
  const HRESULT status = info->GetClassInfo(&class_type);
  info->Release();
  if (FAILED(status)) return status;
  *type = DescribeSystemType(class_type);
  class_type->Release();
  return *type != nullptr ? S_OK : E_NOTIMPL;
}

com::HRESULT ClientDispatch::FindConnectionPoint(const com::Guid& iid,
                                                 com::IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  ::IConnectionPointContainer* container = nullptr;
  if (FAILED(system_->QueryInterface(IID_IConnectionPointContainer,
                                     reinterpret_cast<void**>(&container)))) {
    return CONNECT_E_NOCONNECTION;
  }
  ::IConnectionPoint* system_point = nullptr;
  const HRESULT status = container->FindConnectionPoint(ToSystem(iid), &system_point);
  container->Release();
  if (FAILED(status)) return status;
  *point = com::MakeObject<ClientConnectionPoint>(system_point).Detach();
  return S_OK;
}

::IOleObject* ClientDispatch::Placement() const {
  ::IOleObject* placed = nullptr;
  if (FAILED(system_->QueryInterface(IID_IOleObject, reinterpret_cast<void**>(&placed)))) {
    return nullptr;
  }
  return placed;
}

com::HRESULT ClientDispatch::QueryInterface(const com::Guid& iid, void** object) {
  if (iid == com::IOleObject::kIid) {
    ::IOleObject* placed = Placement();
    if (placed == nullptr) {
      if (object != nullptr) *object = nullptr;
      return E_NOINTERFACE;
    }
    placed->Release();
  }
  return ComObject::QueryInterface(iid, object);
}

com::HRESULT ClientDispatch::SetClientSite(com::IOleClientSite* site) {
  ::IOleObject* placed = Placement();
  if (placed == nullptr) return E_NOINTERFACE;
  ::IOleClientSite* exposed =
      site != nullptr ? ClientSite::Expose(com::ComPtr<com::IOleClientSite>(site)) : nullptr;
  const HRESULT status = placed->SetClientSite(exposed);
  if (exposed != nullptr) exposed->Release();
  placed->Release();
  if (SUCCEEDED(status)) site_ = com::ComPtr<com::IOleClientSite>(site);
  return status;
}

com::HRESULT ClientDispatch::GetClientSite(com::IOleClientSite** site) {
  if (site == nullptr) return E_POINTER;
  *site = com::ComPtr<com::IOleClientSite>(site_).Detach();
  return S_OK;
}

void* ClientDispatch::QueryExtraInterface(const com::Guid& iid) {
  return iid == kClientDispatchIid ? static_cast<com::IDispatch*>(this) : nullptr;
}

com::HRESULT ClientDispatch::GetIDsOfNames(std::string_view name, com::DispId* id) {
  if (id == nullptr) return E_POINTER;
  std::wstring wide = Wide(name);
  LPOLESTR names[] = {wide.data()};
  DISPID found = DISPID_UNKNOWN;
  const HRESULT status = system_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &found);
  *id = SUCCEEDED(status) ? found : DISPID_UNKNOWN;
  return status;
}

com::HRESULT ClientDispatch::Invoke(com::DispId id, com::InvokeFlags flags,
                                    std::span<const com::Variant> args, com::Variant* result,
                                    com::InvokeError* error) {
  const std::size_t count = args.size();
  // The system takes arguments right to left; an in/out one points at a VARIANT of its own.
  std::vector<VARIANT> system_args(count);
  std::vector<VARIANT> referenced(count);
  for (std::size_t i = 0; i < count; ++i) {
    VARIANT& arg = system_args[count - 1 - i];
    VariantInit(&referenced[i]);
    if (args[i].is_by_ref()) {
      ToSystem(*args[i].target(), &referenced[i]);
      VariantInit(&arg);
      V_VT(&arg) = VT_VARIANT | VT_BYREF;
      V_VARIANTREF(&arg) = &referenced[i];
    } else {
      ToSystem(args[i], &arg);
    }
  }
  DISPID put_name = DISPID_PROPERTYPUT;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  DISPPARAMS params{system_args.data(), put ? &put_name : nullptr, static_cast<UINT>(count),
                    put ? 1u : 0u};
  VARIANT out;
  VariantInit(&out);
  EXCEPINFO exception{};
  UINT bad_argument = 0;
  const HRESULT status = system_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &out,
                                         &exception, &bad_argument);
  if (SUCCEEDED(status)) {
    for (std::size_t i = 0; i < count; ++i) {
      if (args[i].is_by_ref()) ToInternal(referenced[i], args[i].target());
    }
    if (result != nullptr) ToInternal(out, result);
  } else if (status == DISP_E_EXCEPTION) {
    ReadException(exception, error);
  } else if (error != nullptr && bad_argument < count &&
             (status == DISP_E_TYPEMISMATCH || status == DISP_E_PARAMNOTFOUND)) {
    error->argument = static_cast<int>(count - 1 - bad_argument);
  }
  for (VARIANT& arg : system_args) VariantClear(&arg);
  for (VARIANT& value : referenced) VariantClear(&value);
  VariantClear(&out);
  return status;
}

}  // namespace tarvik::platform::com_bridge
