// The work of regsvr32: parse "regsvr32 [/s] [/u] <library>", load the library, call its
// DllRegisterServer or DllUnregisterServer, and say how it went.
//
// Switches may come before or after the library, in either case, with "/" or "-": /s silences
// every message, /u unregisters. A library path that names an existing file is made absolute
// before loading (so that the library registers the path it really has); a bare name is searched
// the way the system searches shared libraries.
//
// Exit codes: 0 success, 1 bad command line, 3 the library failed to load, 4 it lacks the entry
// point, 5 the entry point reported failure.
#pragma once

#include <ostream>
#include <span>
#include <string>

namespace tarvik::platform {

enum RegistrationExitCode : int {
  kRegistrationSucceeded = 0,
  kRegistrationBadArguments = 1,
  kRegistrationLoadFailed = 3,
  kRegistrationEntryMissing = 4,
  kRegistrationCallFailed = 5,
};

// Runs the command `args` (without the program name). Success is reported on `out`, failures on
// `err`, nothing at all with /s.
int RunRegistrationCommand(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace tarvik::platform
