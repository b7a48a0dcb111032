// Late-bound calls: IDispatch, the interface through which hosts and scripts call members by name
// or DISPID with variant arguments, and IProvideClassInfo, through which a host finds an object's
// class (and so its event interface).
//
// Conventions of Invoke here (simpler than the system it stands in for, and stated once):
// - `args` are in the member's parameter order, left to right; for a property put the new value
//   is the last argument, after any index arguments. Named arguments are not supported.
// - An omitted optional argument is Variant::Missing(), or simply left off the end.
// - An in/out parameter takes Variant::ByRef(&variable); the callee writes its result there.
// - `result` may be null when the caller does not want the value.
// - On failure `error` (when given) receives a description that names the member and the argument
//   at fault, and `argument`, the argument's 0-based index. The status says what kind of failure:
//     DISP_E_UNKNOWNNAME      (from GetIDsOfNames) no member of that name
//     DISP_E_MEMBERNOTFOUND   no member of that DISPID, or not with that accessor
//                             (a write-only property read, a read-only one written)
//     DISP_E_BADPARAMCOUNT    too many arguments, or fewer than the required ones
//     DISP_E_PARAMNOTOPTIONAL a required argument passed as Missing
//     DISP_E_TYPEMISMATCH     an argument that does not convert to the parameter's type, or an
//                             in/out argument passed by value
//     DISP_E_OVERFLOW         an argument out of the range of the parameter's type
//     DISP_E_EXCEPTION        the member itself failed
// A call refused for its arguments runs nothing. By-reference targets and `result` are written
// only when the member ran successfully.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "platform/com/type_info.h"
#include "platform/com/unknown.h"
#include "platform/com/variant.h"

namespace tarvik::platform::com {

// What went wrong in a failed Invoke.
struct InvokeError {
  std::string source;       // the interface (or class) that reports it
  std::string description;  // what went wrong, naming member and argument
  int argument = -1;        // 0-based index of the argument at fault; -1 when none is
};

class IDispatch : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{00020400-0000-0000-C000-000000000046}");
  using Base = IUnknown;

  // The description of the interface this object dispatches, or nullptr when it has none. The
  // description stays valid while the object lives.
  virtual const TypeInfo* GetTypeInfo() = 0;
  // The DISPID of member `name` (any letter case); DISP_E_UNKNOWNNAME and DISPID_UNKNOWN when the
  // object has no such member.
  virtual HRESULT GetIDsOfNames(std::string_view name, DispId* id) = 0;
  // Calls member `id` (see above).
  virtual HRESULT Invoke(DispId id, InvokeFlags flags, std::span<const Variant> args,
                         Variant* result, InvokeError* error) = 0;
};

class IProvideClassInfo : public IUnknown {
 public:
  static constexpr Guid kIid = MakeGuid("{B196B283-BAB4-101A-B69C-00AA00341D07}");
  using Base = IUnknown;

  // The description of the object's class; E_NOTIMPL when the object's class is not described.
  virtual HRESULT GetClassInfo(const TypeInfo** type) = 0;
};

// GetIDsOfNames then Invoke: how a host calls a member by its published name. An unknown name
// fills `error` too.
HRESULT InvokeByName(IDispatch* object, std::string_view name, InvokeFlags flags,
                     std::span<const Variant> args, Variant* result, InvokeError* error = nullptr);

}  // namespace tarvik::platform::com
