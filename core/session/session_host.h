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
  // Progress of a transfer; the control passes it on only while a container window is known.
  virtual void RaiseTransfer() = 0;
  // Enables or disables the control's timers (the keep-alive tick, every 2000 ms, calls
  // the session's Timer1Tick).
  virtual void SetTimersEnabled(bool enabled) = 0;
  // The window handle of the host's container, 0 when there is none.
  virtual std::uintptr_t ContainerWindowFromSite() = 0;

 protected:
  ~SessionHost() = default;
};

}  // namespace tarvik
