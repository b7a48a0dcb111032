// regsvr32 [/s] [/u] <library>: registers (or unregisters) an in-process server library.
#include <iostream>
#include <string>
#include <vector>

#include "platform/regsvr32/registration_command.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  return tarvik::platform::RunRegistrationCommand(args, std::cout, std::cerr);
}
