// The type library embedded (as resource TYPELIB 1) in the module that holds this code, loaded once
// per process, and the descriptions taken from it.
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

// The file of the module that holds this code (the server library, or a program).
std::wstring ModulePath();

// The description of type `guid` from the embedded library, with a reference the caller owns;
// nullptr when the module carries no type library or the library has no such type.
ITypeInfo* EmbeddedTypeInfo(const com::Guid& guid);

}  // namespace tarvik::platform::com_bridge
