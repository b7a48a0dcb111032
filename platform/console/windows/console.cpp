#include "platform/console/console.h"

#include <io.h>

#include "platform/win32/windows_api.h"

namespace tarvik::platform {

struct RawKeyMode::Saved {
  ::HANDLE console;
  ::DWORD mode;
};

Terminal OpenTerminal() {
  Terminal terminal;
  if (!_isatty(_fileno(stdin))) return terminal;
  terminal.in = std::fopen("CONIN$", "r");
  terminal.out = terminal.in != nullptr ? std::fopen("CONOUT$", "w") : nullptr;
  return terminal;
}

bool StandardErrorIsTerminal() {
  return _isatty(_fileno(stderr));
}

RawKeyMode::RawKeyMode(std::FILE* in) {
  const auto console = reinterpret_cast<::HANDLE>(_get_osfhandle(_fileno(in)));
  ::DWORD saved = 0;
  if (console == reinterpret_cast<::HANDLE>(-1) || !GetConsoleMode(console, &saved)) return;
  // Without line input, echo and Ctrl-C processing; the terminal sequences of the other keys.
  const ::DWORD raw = (saved & ~static_cast<::DWORD>(ENABLE_LINE_INPUT | ENABLE_ECHO_INPUT |
                                                      ENABLE_PROCESSED_INPUT)) |
                      ENABLE_VIRTUAL_TERMINAL_INPUT;
  if (SetConsoleMode(console, raw)) saved_ = std::make_unique<Saved>(Saved{console, saved});
}

RawKeyMode::~RawKeyMode() {
  if (saved_) SetConsoleMode(saved_->console, saved_->mode);
}

}  // namespace tarvik::platform
