// What a host gives the control and hears from it: the outgoing events (all without arguments;
// the host reads properties inside its handler) and the client site through which a host that
// places the control hands over its container window.
#pragma once

#include <cstdint>

namespace tarvik {

class FtpLibraryEvents {
 public:
  // Progress of a transfer; raised only while a container window is known (see ClientSite).
  virtual void OnTransfer() {}
  // A command was sent or a reply received: read MessageInfo and MessageType.
  virtual void OnServerMessage() {}
  // FtpState changed.
  virtual void OnStateChange() {}
  // Part of the interface; the control never raises it (errors come back through the results of
  // the methods and ErrorNumber/ErrorInfo).
  virtual void OnError() {}

 protected:
  ~FtpLibraryEvents() = default;
};

// The container a control is placed in. A host without a site (or whose site gives 0) gets no
// OnTransfer.
class ClientSite {
 public:
  // The container's window handle; 0 when the container refuses to give one.
  virtual std::uintptr_t ContainerWindow() = 0;

 protected:
  ~ClientSite() = default;
};

}  // namespace tarvik
