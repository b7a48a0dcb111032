#include "platform/shell/process_setup.h"

#include <csignal>

namespace tarvik::platform {

void FailWritesPastFileSizeLimit() {
  // The system sends SIGXFSZ, which ends the process, before it fails the write with EFBIG.
  std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace tarvik::platform
