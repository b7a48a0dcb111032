// What both systems share: a terminal opened by OpenTerminal is two standard streams.
#include <cstdio>

#include "platform/console/console.h"

namespace tarvik::platform {

void CloseTerminal(Terminal& terminal) {
  if (terminal.in != nullptr) std::fclose(terminal.in);
  if (terminal.out != nullptr) std::fclose(terminal.out);
  terminal = {};
}

}  // namespace tarvik::platform
