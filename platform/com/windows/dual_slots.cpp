#include "platform/com/windows/dual_slots.h"

#include <map>
#include <mutex>
#include <vector>

#include "platform/com/windows/server_object.h"

namespace tarvik::platform::com_bridge {

namespace {

// IDispatch's functions on a dispatch pointer: each finds the pointer's object.
HRESULT STDMETHODCALLTYPE FaceQueryInterface(void* self, REFIID iid, void** object) {
  return ServerObject::OwnerOf(self).QueryInterface(iid, object);
}
ULONG STDMETHODCALLTYPE FaceAddRef(void* self) {
  return ServerObject::OwnerOf(self).AddRef();
}
ULONG STDMETHODCALLTYPE FaceRelease(void* self) {
  return ServerObject::OwnerOf(self).Release();
}
HRESULT STDMETHODCALLTYPE FaceGetTypeInfoCount(void* self, UINT* count) {
  return ServerObject::OwnerOf(self).GetTypeInfoCount(count);
}
HRESULT STDMETHODCALLTYPE FaceGetTypeInfo(void* self, UINT index, LCID, ITypeInfo** type) {
  return ServerObject::OwnerOf(self).GetTypeInfo(index, type);
}
HRESULT STDMETHODCALLTYPE FaceGetIDsOfNames(void* self, REFIID, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) {
  return ServerObject::OwnerOf(self).GetIDsOfNames(names, count, ids);
}
HRESULT STDMETHODCALLTYPE FaceInvoke(void* self, DISPID id, REFIID, LCID, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                                     UINT* bad_argument) {
  return ServerObject::OwnerOf(self).Invoke(id, flags, params, result, exception, bad_argument);
}

const void* const kDispatchFunctions[] = {
    reinterpret_cast<const void*>(&FaceQueryInterface),
    reinterpret_cast<const void*>(&FaceAddRef),
    reinterpret_cast<const void*>(&FaceRelease),
    reinterpret_cast<const void*>(&FaceGetTypeInfoCount),
    reinterpret_cast<const void*>(&FaceGetTypeInfo),
    reinterpret_cast<const void*>(&FaceGetIDsOfNames),
    reinterpret_cast<const void*>(&FaceInvoke),
};

struct Vtables {
  std::mutex mutex;
  std::map<com::Guid, std::vector<const void*>> by_iid;  // built once per interface, never moved
};

Vtables& AllVtables() {
  static Vtables vtables;
  return vtables;
}

// Stores the result of a slot in the caller's variable of type `type`, which takes over what
// `value` owns.
HRESULT StoreResult(VARIANT& value, VARTYPE type, void* variable) {
  if (type == VT_VARIANT) {
    *static_cast<VARIANT*>(variable) = value;
    return S_OK;
  }
  const HRESULT status = VariantChangeType(&value, &value, 0, type);
  if (FAILED(status)) {
    VariantClear(&value);
    return status;
  }
  switch (type) {
    case VT_BOOL:
      *static_cast<VARIANT_BOOL*>(variable) = V_BOOL(&value);
      break;
    case VT_I2:
      *static_cast<SHORT*>(variable) = V_I2(&value);
      break;
    case VT_I4:
      *static_cast<LONG*>(variable) = V_I4(&value);
      break;
    case VT_R8:
      *static_cast<DOUBLE*>(variable) = V_R8(&value);
      break;
    case VT_DATE:
      *static_cast<DATE*>(variable) = V_DATE(&value);
      break;
    case VT_BSTR:
      *static_cast<BSTR*>(variable) = V_BSTR(&value);
      break;
    case VT_DISPATCH:
      *static_cast<::IDispatch**>(variable) = V_DISPATCH(&value);
      break;
    case VT_UNKNOWN:
      *static_cast<::IUnknown**>(variable) = V_UNKNOWN(&value);
      break;
    default:
      VariantClear(&value);
      return DISP_E_BADVARTYPE;
  }
  return S_OK;
}

}  // namespace

void UseDualInterfaces(std::span<const DualInterface> interfaces) {
  Vtables& vtables = AllVtables();
  const std::lock_guard<std::mutex> lock(vtables.mutex);
  for (const DualInterface& dual : interfaces) {
    std::vector<const void*> functions(std::begin(kDispatchFunctions),
                                       std::end(kDispatchFunctions));
    functions.insert(functions.end(), dual.slots.begin(), dual.slots.end());
    vtables.by_iid.emplace(dual.iid, std::move(functions));
  }
}

const void* const* DispatchVtable(const com::Guid& iid) {
  Vtables& vtables = AllVtables();
  const std::lock_guard<std::mutex> lock(vtables.mutex);
  const auto found = vtables.by_iid.find(iid);
  return found != vtables.by_iid.end() ? found->second.data() : kDispatchFunctions;
}

VARIANT SlotIn(VARTYPE type, const void* value) {
  if (type == VT_VARIANT) return *static_cast<const VARIANT*>(value);
  VARIANT arg;
  VariantInit(&arg);
  V_VT(&arg) = type;
  switch (type) {
    case VT_BOOL:
      V_BOOL(&arg) = *static_cast<const VARIANT_BOOL*>(value);
      break;
    case VT_I2:
      V_I2(&arg) = *static_cast<const SHORT*>(value);
      break;
    case VT_I4:
      V_I4(&arg) = *static_cast<const LONG*>(value);
      break;
    case VT_R8:
      V_R8(&arg) = *static_cast<const DOUBLE*>(value);
      break;
    case VT_DATE:
      V_DATE(&arg) = *static_cast<const DATE*>(value);
      break;
    case VT_BSTR:
      V_BSTR(&arg) = *static_cast<const BSTR*>(value);
      break;
    case VT_DISPATCH:
      V_DISPATCH(&arg) = *static_cast<::IDispatch* const*>(value);
      break;
    case VT_UNKNOWN:
      V_UNKNOWN(&arg) = *static_cast<::IUnknown* const*>(value);
      break;
    default:
      V_VT(&arg) = VT_EMPTY;
      break;
  }
  return arg;
}

VARIANT SlotRef(VARTYPE type, void* variable) {
  VARIANT arg;
  VariantInit(&arg);
  V_VT(&arg) = static_cast<VARTYPE>(type | VT_BYREF);
  V_BYREF(&arg) = variable;
  return arg;
}

HRESULT CallSlot(void* self, DISPID id, WORD flags, const VARIANT* args, UINT count,
                 VARTYPE result_type, void* result) {
  VARIANT value;
  EXCEPINFO exception{};
  const HRESULT status = ServerObject::OwnerOf(self).Call(
      id, flags, args, count, result != nullptr ? &value : nullptr, &exception, nullptr);
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  if (FAILED(status) || result == nullptr) return status;
  return StoreResult(value, result_type, result);
}

}  // namespace tarvik::platform::com_bridge
