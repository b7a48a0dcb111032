// Calls into the object model that are kept out of the files that see the system's headers
// (which rename some members by macro, e.g. GetClassInfo).
#pragma once

#include "platform/com/dispatch.h"

namespace tarvik::platform::com_bridge {

namespace com = tarvik::platform::com;

// The class of `object`, from its IProvideClassInfo; nullptr when it describes none.
const com::TypeInfo* ClassTypeOf(com::IUnknown& object);

}  // namespace tarvik::platform::com_bridge
