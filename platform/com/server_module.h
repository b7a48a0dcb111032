// What an in-process server library publishes: its type library and its classes. One constant
// ServerModule drives the library's four exported entry points:
//
//   constexpr ServerClass kClasses[] = {
//       {&kWidgetClass, "Example.Widget", &MakeInstance<Widget>},    // com_object.h
//   };
//   constexpr ServerModule kModule{&kExampleLibrary, kClasses};
//
//   extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
//     return GetClassObject(kModule, clsid, iid, object);          // class_factory.h
//   }
//   extern "C" HRESULT DllCanUnloadNow() { return CanUnloadModule(); }   // module_lock.h
//   extern "C" HRESULT DllRegisterServer() {                      // registration.h
//     return RegisterServer(kModule, ModuleFileName(reinterpret_cast<const
//     void*>(&DllRegisterServer)));
//   }
//   extern "C" HRESULT DllUnregisterServer() { return UnregisterServer(kModule); }
//
// Build such a library with tarvik_com_server(<target>) (platform/com/CMakeLists.txt): it exports
// the four entry points only, so that the platform modules inside keep their own state (module
// lock count, registry connection) apart from the host's and the library can be unloaded.
#pragma once

#include <span>
#include <string_view>

#include "platform/com/type_info.h"
#include "platform/com/unknown.h"

namespace tarvik::platform::com {

struct ServerClass {
  const TypeInfo* type;          // the class; its GUID is the CLSID
  std::string_view prog_id;      // the class's programmatic name; empty when it has none
  ComPtr<IUnknown> (*create)();  // makes a new object of the class
  bool is_control = false;       // registered as a control (a "Control" key beside the CLSID)
};

struct ServerModule {
  const TypeLibrary* library;
  std::span<const ServerClass> classes;
};

// Signatures of the exported entry points, for a host that looks them up by name.
using DllGetClassObjectFunction = HRESULT (*)(const Guid& clsid, const Guid& iid, void** object);
// DllRegisterServer, DllUnregisterServer, DllCanUnloadNow: on 32-bit Windows the system's
// entry points are stdcall functions, and a call through any other type is undefined.
#if defined(_WIN32) && defined(__i386__)
using DllEntryFunction = HRESULT(__stdcall*)();
#else
using DllEntryFunction = HRESULT (*)();
#endif

}  // namespace tarvik::platform::com
