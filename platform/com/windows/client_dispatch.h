// ClientDispatch: one of the system's IDispatch objects as an object-model IDispatch: an event
// sink a script host advises on the control, or, in a host program, the control it created. Calls
// go to the object's GetIDsOfNames and Invoke with the arguments turned into VARIANTs (in/out ones
// by reference) and the results and in/out values turned back.
//
// The object model's type information is not rebuilt from the system's: GetTypeInfo() answers
// nullptr, so a caller learns members by name (GetIDsOfNames) and the object's events are not
// offered through the object model.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

class ClientDispatch final : public com::ComObject<com::IDispatch> {
 public:
  explicit ClientDispatch(::IDispatch* system);
  ~ClientDispatch() override;

  static com::ComPtr<com::IDispatch> Wrap(::IDispatch* system);
  // The system's object behind `object` (a reference the caller owns) when `object` is a
  // ClientDispatch; else nullptr.
  static ::IDispatch* SystemOf(com::IDispatch* object);

  const com::TypeInfo* GetTypeInfo() override { return nullptr; }
  com::HRESULT GetIDsOfNames(std::string_view name, com::DispId* id) override;
  com::HRESULT Invoke(com::DispId id, com::InvokeFlags flags, std::span<const com::Variant> args,
                      com::Variant* result, com::InvokeError* error) override;

 protected:
  void* QueryExtraInterface(const com::Guid& iid) override;

 private:
  ::IDispatch* system_;  // with a reference
};

}  // namespace tarvik::platform::com_bridge
