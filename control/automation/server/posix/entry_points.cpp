// The four entry points of libtarvikftp.so, the only symbols it exports: registration of the
// FtpLibrary class, the type library and the ProgID TarvikFtp.FtpLibrary, and the class factory
// through which hosts create the control.
#include "control/automation/type_library.h"
#include "platform/com/class_factory.h"
#include "platform/com/module_lock.h"
#include "platform/com/registration.h"
#include "platform/shell/dynamic_library.h"

using tarvik::platform::com::Guid;
using tarvik::platform::com::HRESULT;

extern "C" HRESULT DllGetClassObject(const Guid& clsid, const Guid& iid, void** object) {
  return tarvik::platform::com::GetClassObject(tarvik::automation::TarvikFtpModule(), clsid, iid,
                                               object);
}

extern "C" HRESULT DllCanUnloadNow() {
  return tarvik::platform::com::CanUnloadModule();
}

extern "C" HRESULT DllRegisterServer() {
  return tarvik::platform::com::RegisterServer(
      tarvik::automation::TarvikFtpModule(),
      tarvik::platform::ModuleFileName(reinterpret_cast<const void*>(&DllRegisterServer)));
}

extern "C" HRESULT DllUnregisterServer() {
  return tarvik::platform::com::UnregisterServer(tarvik::automation::TarvikFtpModule());
}
