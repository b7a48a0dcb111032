// The vtables of dual interfaces. A ServerObject's dispatch pointer has IDispatch's seven
// functions followed by the slots of its dual interface, one per function in interface order.
// The slots are generated from the type table (platform/com/type_library_source.h) into the
// server's own source, which defines GeneratedDualInterfaces(); the server hands them to
// UseDualInterfaces() before it makes its first object. Each slot turns its typed arguments into
// VARIANTs (SlotIn, SlotRef) and calls the member by DISPID (CallSlot), as Invoke would.
#pragma once

#include <span>

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

struct DualInterface {
  com::Guid iid;
  std::span<const void* const> slots;
};

// Defined by the generated source of a server library.
std::span<const DualInterface> GeneratedDualInterfaces();

// The dual interfaces whose slots objects get; until called, objects offer IDispatch only.
void UseDualInterfaces(std::span<const DualInterface> interfaces);

// The vtable of the dispatch pointer of an object dispatching interface `iid`.
const void* const* DispatchVtable(const com::Guid& iid);

// An argument passed by value, of type `type` (VT_VARIANT: the VARIANT itself), borrowed.
VARIANT SlotIn(VARTYPE type, const void* value);
// An argument passed by reference: the caller's variable of type `type`.
VARIANT SlotRef(VARTYPE type, void* variable);
// Calls member `id` of the object whose dispatch pointer is `self`, with `args` left to right, and
// stores the result (converted to `result_type`) in the caller's `result` variable.
HRESULT CallSlot(void* self, DISPID id, WORD flags, const VARIANT* args, UINT count,
                 VARTYPE result_type, void* result);

}  // namespace tarvik::platform::com_bridge
