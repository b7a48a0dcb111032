// What keeps a server library in use: every live object made by the library and every
// IClassFactory::LockServer(true) holds one lock. The library may be unloaded (its
// DllCanUnloadNow answers S_OK) only while the count is zero.
//
// The count belongs to the library that links this module: a server library built with
// tarvik_com_server() keeps it apart from its host's.
#pragma once

#include <cstdint>

#include "platform/com/status.h"

namespace tarvik::platform::com {

void LockModule();
void UnlockModule();
std::int64_t ModuleLockCount();

// The answer of DllCanUnloadNow: S_OK when nothing holds the library, else S_FALSE.
HRESULT CanUnloadModule();

}  // namespace tarvik::platform::com
