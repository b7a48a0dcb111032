#include "platform/com/windows/bridge_values.h"

#include "platform/com/windows/client_dispatch.h"
#include "platform/com/windows/enum_bridge.h"
#include "platform/com/windows/server_object.h"
#include "platform/com/windows/wide_text.h"

namespace tarvik::platform::com_bridge {

namespace {

// Days of DATE and of the object model's Date count from the same day.
com::Date ToDate(DATE value) {
  return com::Date{value};
}

// Numbers of types the object model does not have become Long when they fit, else Double.
HRESULT OtherNumber(const VARIANT& value, com::Variant* out) {
  VARIANT converted;
  VariantInit(&converted);
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_I4))) {
    *out = com::Variant(static_cast<std::int32_t>(V_I4(&converted)));
    return S_OK;
  }
  if (SUCCEEDED(VariantChangeType(&converted, const_cast<VARIANT*>(&value), 0, VT_R8))) {
    *out = com::Variant(V_R8(&converted));
    return S_OK;
  }
  return DISP_E_TYPEMISMATCH;
}

}  // namespace

HRESULT ToInternal(const VARIANT& in, com::Variant* out) {
  VARIANT value;
  VariantInit(&value);
  HRESULT status = VariantCopyInd(&value, const_cast<VARIANT*>(&in));
  if (FAILED(status)) return status;
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
      *out = com::Variant();
      break;
    case VT_BOOL:
      *out = com::Variant(V_BOOL(&value) != VARIANT_FALSE);
      break;
    case VT_I2:
      *out = com::Variant(static_cast<std::int16_t>(V_I2(&value)));
      break;
    case VT_I4:
      *out = com::Variant(static_cast<std::int32_t>(V_I4(&value)));
      break;
    case VT_R8:
      *out = com::Variant(V_R8(&value));
      break;
    case VT_DATE:
      *out = com::Variant(ToDate(V_DATE(&value)));
      break;
    case VT_BSTR:
      *out = com::Variant(FromBstr(V_BSTR(&value)));
      break;
    case VT_DISPATCH:
      *out = com::Variant(Import(V_DISPATCH(&value)));
      break;
    case VT_UNKNOWN: {
      ::IDispatch* dispatch = nullptr;
      if (V_UNKNOWN(&value) == nullptr) {
        *out = com::Variant(com::ComPtr<com::IDispatch>());
      } else if (SUCCEEDED(V_UNKNOWN(&value)->QueryInterface(
                     IID_IDispatch, reinterpret_cast<void**>(&dispatch)))) {
        *out = com::Variant(Import(dispatch));
        dispatch->Release();
      } else {
        status = DISP_E_TYPEMISMATCH;
      }
      break;
    }
    case VT_ERROR:
      *out = com::Variant(com::ErrorCode{V_ERROR(&value)});
      break;
    default:
      status = (V_VT(&value) & (VT_ARRAY | VT_RECORD)) != 0 ? DISP_E_TYPEMISMATCH
                                                            : OtherNumber(value, out);
      break;
  }
  VariantClear(&value);
  return status;
}

void ToSystem(const com::Variant& in, VARIANT* out) {
  VariantInit(out);
  switch (in.type()) {
    case com::VarType::kBoolean:
      V_VT(out) = VT_BOOL;
      V_BOOL(out) = *in.Get<bool>() ? VARIANT_TRUE : VARIANT_FALSE;
      break;
    case com::VarType::kInteger:
      V_VT(out) = VT_I2;
      V_I2(out) = *in.Get<std::int16_t>();
      break;
    case com::VarType::kLong:
      V_VT(out) = VT_I4;
      V_I4(out) = *in.Get<std::int32_t>();
      break;
    case com::VarType::kDouble:
      V_VT(out) = VT_R8;
      V_R8(out) = *in.Get<double>();
      break;
    case com::VarType::kDate:
      V_VT(out) = VT_DATE;
      V_DATE(out) = in.Get<com::Date>()->days;
      break;
    case com::VarType::kString:
      V_VT(out) = VT_BSTR;
      V_BSTR(out) = NewBstr(*in.Get<std::string>());
      break;
    case com::VarType::kObject:
      V_VT(out) = VT_DISPATCH;
      V_DISPATCH(out) = Export(*in.Get<com::ComPtr<com::IDispatch>>());
      break;
    case com::VarType::kUnknown: {
      const com::ComPtr<com::IUnknown>& object = *in.Get<com::ComPtr<com::IUnknown>>();
      com::ComPtr<com::IEnumVariant> items;
      com::ComPtr<com::IDispatch> dispatch;
      if (object && SUCCEEDED(object.As(&items))) {
        V_VT(out) = VT_UNKNOWN;
        V_UNKNOWN(out) = EnumBridge::Expose(items);
      } else if (object && SUCCEEDED(object.As(&dispatch))) {
        V_VT(out) = VT_DISPATCH;
        V_DISPATCH(out) = Export(dispatch);
      } else {
        V_VT(out) = VT_UNKNOWN;
        V_UNKNOWN(out) = nullptr;
      }
      break;
    }
    case com::VarType::kError:
      V_VT(out) = VT_ERROR;
      V_ERROR(out) = in.Get<com::ErrorCode>()->code;
      break;
    default:
      break;
  }
}

void WriteBack(const VARIANT& reference, const com::Variant& value) {
  const VARTYPE type = V_VT(&reference) & ~VT_BYREF;
  if (type == VT_VARIANT) {
    VariantClear(V_VARIANTREF(&reference));
    ToSystem(value, V_VARIANTREF(&reference));
    return;
  }
  VARIANT converted;
  ToSystem(value, &converted);
  if (FAILED(VariantChangeType(&converted, &converted, 0, type))) {
    VariantClear(&converted);
    return;
  }
  switch (type) {  // the variable takes over what `converted` owns
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(&reference));
      *V_BSTRREF(&reference) = V_BSTR(&converted);
      return;
    case VT_DISPATCH:
      if (*V_DISPATCHREF(&reference) != nullptr) (*V_DISPATCHREF(&reference))->Release();
      *V_DISPATCHREF(&reference) = V_DISPATCH(&converted);
      return;
    case VT_BOOL:
      *V_BOOLREF(&reference) = V_BOOL(&converted);
      return;
    case VT_I2:
      *V_I2REF(&reference) = V_I2(&converted);
      return;
    case VT_I4:
      *V_I4REF(&reference) = V_I4(&converted);
      return;
    case VT_R8:
      *V_R8REF(&reference) = V_R8(&converted);
      return;
    case VT_DATE:
      *V_DATEREF(&reference) = V_DATE(&converted);
      return;
    default:
      VariantClear(&converted);
      return;
  }
}

com::ComPtr<com::IDispatch> Import(::IDispatch* object) {
  if (object == nullptr) return {};
  if (com::ComPtr<com::IDispatch> inner = ServerObject::InnerOf(object)) return inner;
  return ClientDispatch::Wrap(object);
}

::IDispatch* Export(const com::ComPtr<com::IDispatch>& object) {
  if (!object) return nullptr;
  if (::IDispatch* system = ClientDispatch::SystemOf(object.get())) return system;
  return ServerObject::Expose(object);
}

}  // namespace tarvik::platform::com_bridge
