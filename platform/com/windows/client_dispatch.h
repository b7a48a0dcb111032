// ClientDispatch: one of the system's IDispatch objects as an object-model IDispatch: an event
// sink a script host advises on the control, or, in a host program, the control it created. Calls
// go to the object's GetIDsOfNames and Invoke with the arguments turned into VARIANTs (in/out ones
// by reference) and the results and in/out values turned back.
//
// Its description, its class and its events come from the system's type information
// (system_type_info.h): GetTypeInfo(), IProvideClassInfo and IConnectionPointContainer answer as
// the object model's own objects do; a sink advised on a connection point is exposed to the
// system as a ServerObject. IOleObject is answered when the system's object can be placed: the
// host's site reaches it as a ClientSite (client_site.h).
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class ClientDispatch final
    : public com::ComObject<com::IDispatch, com::IProvideClassInfo, com::IConnectionPointContainer,
                            com::IOleObject> {
 public:
  explicit ClientDispatch(::IDispatch* system);
  ~ClientDispatch() override;

  static com::ComPtr<com::IDispatch> Wrap(::IDispatch* system);
  // The system's object behind `object` (a reference the caller owns) when `object` is a
  // ClientDispatch; else nullptr.
  static ::IDispatch* SystemOf(com::IDispatch* object);

  const com::TypeInfo* GetTypeInfo() override;
  com::HRESULT GetIDsOfNames(std::string_view name, com::DispId* id) override;
  com::HRESULT Invoke(com::DispId id, com::InvokeFlags flags, std::span<const com::Variant> args,
                      com::Variant* result, com::InvokeError* error) override;
// The system's headers rename GetClassInfo by macro; the object model's member keeps its name.
#pragma push_macro("GetClassInfo")
#undef GetClassInfo
  com::HRESULT GetClassInfo(const com::TypeInfo** type) override;
#pragma pop_macro("GetClassInfo")
  com::HRESULT FindConnectionPoint(const com::Guid& iid, com::IConnectionPoint** point) override;
  com::HRESULT QueryInterface(const com::Guid& iid, void** object) override;
  com::HRESULT SetClientSite(com::IOleClientSite* site) override;
  com::HRESULT GetClientSite(com::IOleClientSite** site) override;

 protected:
  void* QueryExtraInterface(const com::Guid& iid) override;

 private:
  // The system's IOleObject of the object (a reference the caller owns); null when it has none.
  ::IOleObject* Placement() const;

  ::IDispatch* system_;  // with a reference
  const com::TypeInfo* type_ = nullptr;
  bool type_asked_ = false;
  com::ComPtr<com::IOleClientSite> site_;  // the site the object was placed on by this wrapper
};

}  // namespace tarvik::platform::com_bridge
