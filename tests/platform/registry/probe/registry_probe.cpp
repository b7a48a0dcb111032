// A library that uses the registry the way an in-process server does: its registration entry
// writes one value. The store it opens belongs to the library, apart from the test program's.
#include "platform/registry/registry.h"

extern "C" long DllRegisterServer() {
  return tarvik::platform::WriteRegistryString(tarvik::platform::HKEY_CURRENT_USER, "Probe",
                                               "Loaded", "yes");
}
