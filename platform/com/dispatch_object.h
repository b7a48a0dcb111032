// DispatchObject<Self, Extra...>: an object whose IDispatch is its class's DispatchTable. The class
// derives from it, provides the table, and writes only its members:
//
//   class Widget : public DispatchObject<Widget> {
//    public:
//     static const DispatchTable<Widget>& Bindings();   // see dispatch_table.h
//     ...
//   };
//   ComPtr<Widget> widget = MakeObject<Widget>();
//
// The object answers QueryInterface for IUnknown, IDispatch, the IID of the dispatched interface
// (a dual interface is served through IDispatch), IProvideClassInfo and the `Extra` interfaces,
// which the class implements itself (e.g. IConnectionPointContainer).
#pragma once

#include "platform/com/com_object.h"
#include "platform/com/dispatch.h"
#include "platform/com/dispatch_table.h"

namespace tarvik::platform::com {

template <typename Self, typename... Extra>
class DispatchObject : public ComObject<IDispatch, IProvideClassInfo, Extra...> {
 public:
  const TypeInfo* GetTypeInfo() override { return &Table().interface_type(); }
  HRESULT GetIDsOfNames(std::string_view name, DispId* id) override {
    return Table().GetIDsOfNames(name, id);
  }
  HRESULT Invoke(DispId id, InvokeFlags flags, std::span<const Variant> args, Variant* result,
                 InvokeError* error) override {
    return Table().Invoke(static_cast<Self&>(*this), id, flags, args, result, error);
  }
  HRESULT GetClassInfo(const TypeInfo** type) override {
    if (type == nullptr) return E_POINTER;
    *type = Table().class_type();
    return *type != nullptr ? S_OK : E_NOTIMPL;
  }

 protected:
  void* QueryExtraInterface(const Guid& iid) override {
    if (iid == Table().interface_type().guid) return static_cast<IDispatch*>(this);
    return nullptr;
  }

 private:
  static const DispatchTable<Self>& Table() { return Self::Bindings(); }
};

}  // namespace tarvik::platform::com
