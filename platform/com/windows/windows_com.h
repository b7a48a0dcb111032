// The one place the Windows build of platform/com takes the system's COM declarations from.
//
// The object model of platform/com names its interfaces and status codes as the system does
// (IUnknown, IDispatch, S_OK, ...), in its own namespace. Windows' headers declare the real ones
// in the global namespace and the status codes as macros, so every header of the object model a
// bridge file needs is included here first, before the system's: after this point S_OK and its
// kin are the system's macros (same values). The bridge lives in its own namespace beside `com`,
// so that unqualified names there are the system's (IDispatch, HRESULT) and the object model's
// are written `com::IDispatch`.
#pragma once

#include <algorithm>
#include <iterator>

#include "platform/com/connection_point.h"
#include "platform/com/dispatch.h"
#include "platform/com/enum_variant.h"
#include "platform/com/module_lock.h"
#include "platform/com/ole_site.h"
#include "platform/com/server_module.h"
#include "platform/com/type_info.h"
#include "platform/com/variant.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// After windows.h, which they build on.
#include <objsafe.h>
#include <ocidl.h>
#include <ole2.h>
#include <olectl.h>

namespace tarvik::platform::com_bridge {

namespace com = tarvik::platform::com;

inline GUID ToSystem(const com::Guid& guid) {
  GUID out{guid.data1, guid.data2, guid.data3, {}};
  std::copy(guid.data4.begin(), guid.data4.end(), out.Data4);
  return out;
}
inline com::Guid FromSystem(const GUID& guid) {
  com::Guid out{guid.Data1, guid.Data2, guid.Data3, {}};
  std::copy(std::begin(guid.Data4), std::end(guid.Data4), out.data4.begin());
  return out;
}

}  // namespace tarvik::platform::com_bridge
