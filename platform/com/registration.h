// Registration of an in-process server in the registry (HKEY_CLASSES_ROOT), the work of its
// DllRegisterServer and DllUnregisterServer.
//
// For each creatable class of the module ({clsid} in registry form, "{XXXXXXXX-...}"):
//   CLSID\{clsid}                          (default) = class description (help, else name)
//   CLSID\{clsid}\InprocServer32           (default) = library path; ThreadingModel = "Apartment"
//   CLSID\{clsid}\ProgID                   (default) = ProgID            (classes with a ProgID)
//   CLSID\{clsid}\TypeLib                  (default) = {libid}
//   CLSID\{clsid}\Version                  (default) = "1.0"            (the library version)
//   CLSID\{clsid}\Control                                                (controls)
//   <ProgID>                               (default) = class description
//   <ProgID>\CLSID                         (default) = {clsid}
// For the type library and each of its interfaces and event interfaces:
//   TypeLib\{libid}\1.0                    (default) = library description (help, else name)
//   TypeLib\{libid}\1.0\0\win32            (default) = library path
//   TypeLib\{libid}\1.0\FLAGS              (default) = "0"
//   TypeLib\{libid}\1.0\HELPDIR            (default) = folder of the library
//   Interface\{iid}                        (default) = interface name
//   Interface\{iid}\TypeLib                (default) = {libid}; Version = "1.0"
// Paths are the host system's absolute paths.
//
// Unregistering removes these keys with everything below them (also keys others added below a
// CLSID key), a ProgID only while it still names this module's class, and the type library's
// GUID key once no version of it is left. Keys already gone are no error.
#pragma once

#include <string>

#include "platform/com/server_module.h"
#include "platform/com/status.h"

namespace tarvik::platform::com {

// Writes the keys above for `module`, served by the library at `library_path`. On failure the
// keys written so far are removed again and the registry's error comes back as 0x8007xxxx.
HRESULT RegisterServer(const ServerModule& module, const std::string& library_path);

// Removes the keys of `module`. The first failure comes back as 0x8007xxxx; the other keys are
// removed all the same.
HRESULT UnregisterServer(const ServerModule& module);

}  // namespace tarvik::platform::com
