// The four entry points of tarvikftp.ocx, the only symbols it exports (server_exports.def):
// registration of the FtpLibrary class, its ProgID TarvikFtp.FtpLibrary and the embedded type
// library, and the class factory through which hosts create the control.
#include "control/automation/type_library.h"
#include "platform/com/windows/dual_slots.h"
#include "platform/com/windows/server_entry.h"

namespace {

namespace bridge = tarvik::platform::com_bridge;

// The server's description, with the dual-interface slots generated from the same type table put
// in place before any object is made.
const tarvik::platform::com::ServerModule& Module() {
  static const bool slots_in_place =
      (bridge::UseDualInterfaces(bridge::GeneratedDualInterfaces()), true);
  (void)slots_in_place;
  return tarvik::automation::TarvikFtpModule();
}

}  // namespace

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  return bridge::GetServerClassObject(Module(), clsid, iid, object);
}

STDAPI DllCanUnloadNow() {
  return bridge::CanUnloadServer();
}

STDAPI DllRegisterServer() {
  return bridge::RegisterInprocServer(Module());
}

STDAPI DllUnregisterServer() {
  return bridge::UnregisterInprocServer(Module());
}
