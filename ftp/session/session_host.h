// What the FTP session needs from the control that owns it: raising the control's events,
// switching its timers, and the container window of its client site. The session never sees the
// control itself.
#pragma once

#include <cstdint>

namespace tarvik {

class SessionHost {
 public:
  virtual void RaiseStateChange() = 0;
  virtual void RaiseServerMessage() = 0;
  // Enables or disables the keep-alive tick (2000 ms), the transfer watchdog (5000 ms) and the
  // dialog keeper (1000 ms).
  virtual void SetTimersEnabled(bool enabled) = 0;
  // The window handle of the host's container, 0 when there is none.
  virtual std::uintptr_t ContainerWindowFromSite() = 0;

 protected:
  ~SessionHost() = default;
};

}  // namespace tarvik
