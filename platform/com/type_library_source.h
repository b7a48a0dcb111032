// Sources generated from a type library's description (type_info.h), so that the published type
// library and the slots of its dual interfaces come from the one table and never from a copy:
//   - IDL, which the IDL compiler turns into the binary type library a server embeds and
//     registers, and into the C header of early-bound clients;
//   - C++ dual-interface slots: one function per function of each dual interface, in interface
//     order, with the parameter types the IDL declares. Each hands its arguments to the object's
//     dispatch by DISPID (platform/com/windows/dual_slots.h), so a vtable call and a late-bound
//     call run the same code.
#pragma once

#include <string>

#include "platform/com/type_info.h"

namespace tarvik::platform::com {

std::string TypeLibraryIdl(const TypeLibrary& library);

// C++ source defining `GeneratedDualInterfaces()` (declared in
// platform/com/windows/dual_slots.h) for `library`.
std::string DualSlotSource(const TypeLibrary& library);

}  // namespace tarvik::platform::com
