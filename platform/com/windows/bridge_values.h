// Values crossing between the system's COM and the object model of platform/com: VARIANT (BSTR
// in UTF-16) to and from Variant (UTF-8), and objects wrapped on the way, so that each side sees
// objects of its own kind:
//   - an object-model object handed to the system is exposed as a ServerObject, and one of the
//     system's objects handed to the object model is wrapped in a ClientDispatch;
//   - an object going back the way it came is unwrapped, not wrapped twice;
//   - an object-model enumerator is exposed as the system's IEnumVARIANT.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

// The value of `in` (read through VT_BYREF). DISP_E_TYPEMISMATCH for a type the object model has
// no counterpart of (arrays, records).
HRESULT ToInternal(const VARIANT& in, com::Variant* out);
// `in` as a VARIANT the caller owns; `out` must be empty (VariantInit) beforehand.
void ToSystem(const com::Variant& in, VARIANT* out);

// Writes `value` into the variable a VT_BYREF argument points to, in that variable's type.
void WriteBack(const VARIANT& reference, const com::Variant& value);

// The object-model object for one of the system's (a reference of its own), and the reverse
// (a reference the caller owns; nullptr for null).
com::ComPtr<com::IDispatch> Import(::IDispatch* object);
::IDispatch* Export(const com::ComPtr<com::IDispatch>& object);

}  // namespace tarvik::platform::com_bridge
