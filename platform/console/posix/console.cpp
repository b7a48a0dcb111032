#include "platform/console/console.h"

#include <termios.h>
#include <unistd.h>

namespace tarvik::platform {

struct RawKeyMode::Saved {
  int fd;
  termios settings;
};

Terminal OpenTerminal() {
  Terminal terminal;
  if (!isatty(STDIN_FILENO)) return terminal;
  terminal.in = std::fopen("/dev/tty", "r");
  terminal.out = terminal.in != nullptr ? std::fopen("/dev/tty", "w") : nullptr;
  return terminal;
}

bool StandardErrorIsTerminal() {
  return isatty(STDERR_FILENO);
}

RawKeyMode::RawKeyMode(std::FILE* in) {
  const int fd = fileno(in);
  termios saved{};
  if (tcgetattr(fd, &saved) != 0) return;
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(fd, TCSANOW, &raw) == 0) saved_ = std::make_unique<Saved>(Saved{fd, saved});
}

RawKeyMode::~RawKeyMode() {
  if (saved_) tcsetattr(saved_->fd, TCSANOW, &saved_->settings);
}

}  // namespace tarvik::platform
