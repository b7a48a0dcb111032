// The entry points of the sample server library.
#include "platform/com/class_factory.h"
#include "platform/com/module_lock.h"
#include "platform/com/registration.h"
#include "platform/shell/dynamic_library.h"
#include "tests/platform/com/sample/abacus.h"

using tarvik::platform::com::Guid;
using tarvik::platform::com::HRESULT;
namespace com = tarvik::platform::com;

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
  return com::GetClassObject(com::sample::SampleModule(), clsid, iid, object);
}

extern "C" HRESULT DllCanUnloadNow() {
  return com::CanUnloadModule();
}

extern "C" HRESULT DllRegisterServer() {
  return com::RegisterServer(
      com::sample::SampleModule(),
      tarvik::platform::ModuleFileName(reinterpret_cast<const void*>(&DllRegisterServer)));
}

extern "C" HRESULT DllUnregisterServer() {
  return com::UnregisterServer(com::sample::SampleModule());
}
