// The object model's description (type_info.h) of a type the system describes (ITypeInfo), so
// that a program holding one of the system's objects through a ClientDispatch can list its
// members, find parameters passed by reference, the class and its events, as it does for the
// object model's own objects. Descriptions are built once per type and kept for the life of the
// process.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

// The description of `type` (an interface, dispatch interface, class or enumeration); nullptr
// when the system cannot describe it.
const com::TypeInfo* DescribeSystemType(ITypeInfo* type);

}  // namespace tarvik::platform::com_bridge
