// A server library whose registration entry hangs: it returns only after 15 s, long after the
// setup program's 10 s limit, and registers nothing.
#include <unistd.h>

extern "C" long DllRegisterServer() {
  sleep(15);
  return 0;
}
