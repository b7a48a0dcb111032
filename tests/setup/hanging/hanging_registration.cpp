// A server library whose registration entry hangs: it returns only after 15 s, long after the
// setup program's 10 s limit, and registers nothing.
#include <unistd.h>

#include "platform/com/status.h"

extern "C" tarvik::platform::com::HRESULT DllRegisterServer() {
  sleep(15);
  return 0;
}
