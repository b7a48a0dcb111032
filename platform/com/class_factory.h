// Class factories: the object a server library hands out (through DllGetClassObject) to make
// instances of one class.
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/server_module.h"

namespace tarvik::platform::com {

class IClassFactory : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00000001-0000-0000-C000-000000000046}");
  using Base = IUnknown;

  // A new object, asked for interface `iid`. `outer` must be null: aggregation is not offered
  // (CLASS_E_NOAGGREGATION).
  virtual HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) = 0;
  // Keeps the server library loaded while locked, even when no object of it lives.
  virtual HRESULT LockServer(bool lock) = 0;
};

// The factory of one class of a ServerModule.
class ClassFactory final : public ComObject<IClassFactory> {
 public:
  explicit ClassFactory(const ServerClass& server_class) : class_(server_class) {}

  HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) override;
  HRESULT LockServer(bool lock) override;

 private:
  const ServerClass& class_;
};

// The body of DllGetClassObject: the factory of class `clsid` of `module`, asked for `iid`.
// CLASS_E_CLASSNOTAVAILABLE when the module has no such creatable class.
HRESULT GetClassObject(const ServerModule& module, const Guid& clsid, const Guid& iid,
                       void** object);

}  // namespace tarvik::platform::com
