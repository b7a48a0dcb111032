#include "platform/com/windows/server_object.h"

#include <algorithm>
#include <vector>

#include "platform/com/windows/bridge_values.h"
#include "platform/com/windows/connection_bridge.h"
#include "platform/com/windows/dual_slots.h"
#include "platform/com/windows/internal_class.h"
#include "platform/com/windows/ole_placement.h"
#include "platform/com/windows/type_library_resource.h"
#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

namespace {

// Answered only by ServerObject, so that an object coming back is recognised and unwrapped.
constexpr GUID kServerObjectIid = {
    0x5C3E9A71, 0x2D84, 0x4B6F, {0x9E, 0x13, 0x7A, 0xC0, 0x58, 0xD2, 0x41, 0xB6}};

void FillException(const com::InvokeError& error, EXCEPINFO* exception) {
  if (exception == nullptr) return;
  *exception = EXCEPINFO{};
  exception->bstrSource = NewBstr(error.source);
  exception->bstrDescription = NewBstr(error.description);
  exception->scode = E_FAIL;
}

}  // namespace

ServerObject::ServerObject(com::ComPtr<com::IDispatch> inner)
    : face_{nullptr, this}, inner_(std::move(inner)), placement_(nullptr) {
  const com::TypeInfo* type = inner_->GetTypeInfo();
  face_.vtable = DispatchVtable(type != nullptr ? type->guid : com::Guid{});
  com::ComPtr<com::IOleObject> placed;
  if (SUCCEEDED(inner_.As(&placed))) {
    const com::TypeInfo* class_type = ClassTypeOf(*inner_);
    placement_ = new OlePlacement(*static_cast<::IConnectionPointContainer*>(this), placed,
                                  class_type != nullptr ? ToSystem(class_type->guid) : CLSID_NULL);
  }
  com::LockModule();
}

ServerObject::~ServerObject() {
  delete placement_;
  com::UnlockModule();
}

::IDispatch* ServerObject::Expose(com::ComPtr<com::IDispatch> inner) {
  if (!inner) return nullptr;
  ServerObject* object = new ServerObject(std::move(inner));
  return reinterpret_cast<::IDispatch*>(&object->face_);
}

com::ComPtr<com::IDispatch> ServerObject::InnerOf(::IUnknown* object) {
  void* found = nullptr;
  if (object == nullptr || FAILED(object->QueryInterface(kServerObjectIid, &found))) return {};
  ServerObject* server =
      static_cast<ServerObject*>(static_cast<::IConnectionPointContainer*>(found));
  com::ComPtr<com::IDispatch> inner = server->inner_;
  server->Release();
  return inner;
}

HRESULT ServerObject::QueryInterface(REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  const com::TypeInfo* type = inner_->GetTypeInfo();
  com::ComPtr<com::IConnectionPointContainer> events;
  if (iid == IID_IUnknown || iid == IID_IDispatch ||
      (type != nullptr && FromSystem(iid) == type->guid)) {
    *object = &face_;
  } else if (iid == IID_IConnectionPointContainer && SUCCEEDED(inner_.As(&events))) {
    *object = static_cast<::IConnectionPointContainer*>(this);
  } else if (iid == IID_IProvideClassInfo && ClassTypeOf(*inner_) != nullptr) {
    *object = static_cast<::IProvideClassInfo*>(this);
  } else if (iid == IID_IObjectSafety) {
    *object = static_cast<::IObjectSafety*>(this);
  } else if (placement_ != nullptr && placement_->Face(iid) != nullptr) {
    *object = placement_->Face(iid);
  } else if (iid == kServerObjectIid) {
    *object = static_cast<::IConnectionPointContainer*>(this);
  } else {
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

ULONG ServerObject::AddRef() {
  return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG ServerObject::Release() {
  const LONG left = InterlockedDecrement(&references_);
  if (left == 0) delete this;
  return static_cast<ULONG>(left);
}

HRESULT ServerObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  ITypeInfo* type = nullptr;
  *count = SUCCEEDED(GetTypeInfo(0, &type)) ? 1 : 0;
  if (type != nullptr) type->Release();
  return S_OK;
}

HRESULT ServerObject::GetTypeInfo(UINT index, ITypeInfo** type) {
  if (type == nullptr) return E_POINTER;
  *type = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  const com::TypeInfo* description = inner_->GetTypeInfo();
  if (description != nullptr) *type = EmbeddedTypeInfo(description->guid);
  return *type != nullptr ? S_OK : E_NOTIMPL;
}

HRESULT ServerObject::GetIDsOfNames(LPOLESTR* names, UINT count, DISPID* ids) {
  if (names == nullptr || ids == nullptr || count == 0) return E_POINTER;
  for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
  com::DispId id = DISPID_UNKNOWN;
  const HRESULT status = inner_->GetIDsOfNames(Narrow(std::wstring(names[0])), &id);
  if (FAILED(status)) return status;
  ids[0] = id;
  // Named arguments are not offered: their names are unknown.
  return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
}

HRESULT ServerObject::Invoke(DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                             EXCEPINFO* exception, UINT* bad_argument) {
  if (params == nullptr) return E_INVALIDARG;
  const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
  if (params->cNamedArgs > 1 ||
      (params->cNamedArgs == 1 && (!put || params->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))) {
    return DISP_E_NONAMEDARGS;
  }
  // The system passes arguments right to left; the object model takes them left to right.
  const UINT count = params->cArgs;
  std::vector<VARIANT> args(params->rgvarg, params->rgvarg + count);
  std::reverse(args.begin(), args.end());
  UINT bad = 0;
  const HRESULT status = Call(id, flags, args.data(), count, result, exception, &bad);
  if (bad_argument != nullptr && bad < count) *bad_argument = count - 1 - bad;
  return status;
}

HRESULT ServerObject::Call(DISPID id, WORD flags, const VARIANT* args, UINT count, VARIANT* result,
                           EXCEPINFO* exception, UINT* bad_argument) {
  if (result != nullptr) VariantInit(result);
  if (id == DISPID_NEWENUM) {
    id = EnumeratorMember();
    flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET;
  }
  const com::TypeInfo* type = inner_->GetTypeInfo();
  const com::MemberInfo* member = type != nullptr ? type->FindMember(id) : nullptr;
  std::vector<com::Variant> values(count);
  std::vector<com::Variant> arguments(count);
  for (UINT i = 0; i < count; ++i) {
    if (FAILED(ToInternal(args[i], &values[i]))) {
      if (bad_argument != nullptr) *bad_argument = i;
      return DISP_E_TYPEMISMATCH;
    }
    // An in/out parameter is passed by reference even when the caller passed a value (a
    // literal): the result then goes nowhere, as with any automation server.
    const bool in_out = member != nullptr && i < member->params.size() && member->params[i].in_out;
    arguments[i] = in_out ? com::Variant::ByRef(&values[i]) : values[i];
  }
  com::Variant out;
  com::InvokeError error;
  const HRESULT status = inner_->Invoke(static_cast<com::DispId>(id), flags, arguments,
                                        result != nullptr ? &out : nullptr, &error);
  if (FAILED(status)) {
    if (bad_argument != nullptr && error.argument >= 0) {
      *bad_argument = static_cast<UINT>(error.argument);
    }
    if (status == DISP_E_EXCEPTION) FillException(error, exception);
    return status;
  }
  for (UINT i = 0; i < count; ++i) {
    if ((V_VT(&args[i]) & VT_BYREF) != 0) WriteBack(args[i], values[i]);
  }
  if (result != nullptr) ToSystem(out, result);
  return S_OK;
}

DISPID ServerObject::EnumeratorMember() const {
  const com::TypeInfo* type = inner_->GetTypeInfo();
  if (type == nullptr) return DISPID_UNKNOWN;
  for (const com::MemberInfo& member : type->members) {
    if (member.type.vt == com::VarType::kUnknown && member.params.empty() &&
        (member.is_method() || member.has(static_cast<com::InvokeFlags>(DISPATCH_PROPERTYGET)))) {
      return member.id;
    }
  }
  return DISPID_UNKNOWN;
}

HRESULT ServerObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
  if (points != nullptr) *points = nullptr;
  return E_NOTIMPL;
}

HRESULT ServerObject::FindConnectionPoint(REFIID iid, ::IConnectionPoint** point) {
  if (point == nullptr) return E_POINTER;
  *point = nullptr;
  com::ComPtr<com::IConnectionPointContainer> events;
  com::IConnectionPoint* inner_point = nullptr;
  if (FAILED(inner_.As(&events))) return CONNECT_E_NOCONNECTION;
  const HRESULT status = events->FindConnectionPoint(FromSystem(iid), &inner_point);
  if (FAILED(status)) return status;
  *point =
      ConnectionPointBridge::Expose(*this, com::ComPtr<com::IConnectionPoint>::Adopt(inner_point));
  return S_OK;
}

HRESULT ServerObject::GetClassInfo(ITypeInfo** type) {
  if (type == nullptr) return E_POINTER;
  const com::TypeInfo* description = ClassTypeOf(*inner_);
  *type = description != nullptr ? EmbeddedTypeInfo(description->guid) : nullptr;
  return *type != nullptr ? S_OK : E_NOTIMPL;
}

HRESULT ServerObject::GetInterfaceSafetyOptions(REFIID, DWORD* supported, DWORD* enabled) {
  if (supported == nullptr || enabled == nullptr) return E_POINTER;
  *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  *enabled = *supported;
  return S_OK;
}

HRESULT ServerObject::SetInterfaceSafetyOptions(REFIID, DWORD, DWORD) {
  return S_OK;  // safe in every respect asked about
}

}  // namespace tarvik::platform::com_bridge
