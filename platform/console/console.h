// The terminal of a command-line program: whether its streams are a terminal, the terminal to ask
// questions on, and reading it key by key.
#pragma once

#include <cstdio>
#include <memory>

namespace tarvik::platform {

// The terminal, opened for questions that must reach the user even when the standard output is
// redirected (/dev/tty on Linux, the console on Windows).
struct Terminal {
  std::FILE* in = nullptr;
  std::FILE* out = nullptr;
};

// The terminal when the standard input is one; both streams null otherwise. Close it with
// CloseTerminal.
Terminal OpenTerminal();
void CloseTerminal(Terminal& terminal);

// Whether the standard error stream is a terminal (which can show a progress bar).
bool StandardErrorIsTerminal();

// Switches the terminal `in` reads from to reading key by key, without echo and without the
// interrupt key (Ctrl-C arrives as a key), for the object's lifetime. Nothing changes, and
// active() is false, when `in` is no terminal.
class RawKeyMode {
 public:
  explicit RawKeyMode(std::FILE* in);
  ~RawKeyMode();
  RawKeyMode(const RawKeyMode&) = delete;
  RawKeyMode& operator=(const RawKeyMode&) = delete;
  bool active() const { return saved_ != nullptr; }

 private:
  struct Saved;  // the terminal's settings before, as the system keeps them
  std::unique_ptr<Saved> saved_;
};

}  // namespace tarvik::platform
