// The work of an in-process server library's four exported entry points on the system's COM,
// driven by the library's ServerModule (server_module.h):
//
//   DllGetClassObject    the class factory of a creatable class; its objects are ServerObjects
//   DllCanUnloadNow      S_OK while no object, enumerator or server lock of the library lives
//   DllRegisterServer    for each creatable class ({clsid} and <ProgID> as the registry writes
//                        them, under HKEY_CLASSES_ROOT):
//                          CLSID\{clsid}                 (default) = class description
//                          CLSID\{clsid}\InprocServer32  (default) = library file;
//                                                        ThreadingModel = "Apartment"
//                          CLSID\{clsid}\ProgID          (default) = ProgID
//                          CLSID\{clsid}\TypeLib         (default) = {libid}
//                          CLSID\{clsid}\Version         (default) = "1.0"
//                          CLSID\{clsid}\Control                       (controls)
//                          <ProgID>                      (default) = class description
//                          <ProgID>\CLSID                (default) = {clsid}
//                        and the type library embedded in the library file, registered by the
//                        system (TypeLib\{libid} and the Interface keys of its interfaces)
//   DllUnregisterServer  removes all of it: the CLSID keys, a ProgID while it still names this
//                        library's class, the type library and its interfaces' keys
//
// Before making its first object the library hands its generated dual-interface slots to
// UseDualInterfaces (dual_slots.h).
#pragma once

#include "platform/com/windows/windows_com.h"

namespace tarvik::platform::com_bridge {

HRESULT GetServerClassObject(const com::ServerModule& module, REFCLSID clsid, REFIID iid,
                             void** object);
HRESULT CanUnloadServer();
HRESULT RegisterInprocServer(const com::ServerModule& module);
HRESULT UnregisterInprocServer(const com::ServerModule& module);

}  // namespace tarvik::platform::com_bridge
