// MSocketSupport: Windows Sockets start-up and clean-up for the library, the hidden window that
// receives the socket notifications, the registry that maps a socket handle to its CSocket, the
// dispatch of each notification to that object, host-name resolution and small conversions.
//
// The module state exists once per thread (all sockets of a thread share one window and one
// registry); everything here runs on the thread that owns the sockets. The registry holds plain
// pointers: each CSocket removes its entry (UnregisterSocket) before it goes away.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "core/errors/numbered_error.h"
#include "platform/loop/message_loop.h"
#include "platform/loop/winsock.h"

namespace tarvik {

class CSocket;

namespace MSocketSupport {

// Notification event codes (Windows Sockets notification mode). Out-of-band is never asked for.
inline constexpr std::int32_t kEventRead = 1;      // data ready
inline constexpr std::int32_t kEventWrite = 2;     // ready to send
inline constexpr std::int32_t kEventAccept = 8;    // incoming connection
inline constexpr std::int32_t kEventConnect = 16;  // connect finished
inline constexpr std::int32_t kEventClose = 32;    // closed by peer
inline constexpr long kEventMask = 0x3B;           // all five of them

// "Connect failed(No response from server)": a connect that met the connect-pending rule.

// The module state of one thread.
struct ModuleState {
  bool WinsockStarted = false;       // Windows Sockets started by this module and not cleaned up
  std::int32_t MaxDatagramSize = 0;  // reported at start-up, read as unsigned
  platform::MessageId WinsockMessage = 0;        // message posted for socket events
  platform::WindowHandle NotifyWindow = 0;       // the hidden window; 0 while there is none
  platform::WindowProcedure PreviousWindowProc;  // the window's procedure before subclassing
  // Handle -> socket object (not owned). Exists only while it has entries.
  std::optional<std::unordered_map<platform::winsock::Socket, CSocket*>> SocketRegistry;
  std::int32_t LastSocketEvent = 0;  // event of the latest notification dispatched, any socket
  // Set by the FTP session while it opens a control connection; cleared by the session when the
  // attempt is settled, by WindowProc's connect-pending rule and by every socket error report.
  bool ConnectPending = false;
};

// This thread's module state. The FTP session sets and clears ConnectPending through it.
ModuleState& State();

// Starts Windows Sockets unless this module already did; returns MaxDatagramSize (0 on failure,
// which is reported with source "InitWinsockService" and shown).
std::int32_t InitWinsockService();
// Stops Windows Sockets when this module started it and no socket is registered.
void CleanupWinsockService();

// Adds `object` under `handle` (creating the window and registry as needed) and selects all five
// notifications for the handle, which makes it non-blocking. False on failure, with the shared
// error number set; the entry then stays until the socket is destroyed.
bool RegisterSocket(platform::winsock::Socket handle, CSocket* object);
// Stops the handle's notifications and removes its entry; the last removal also destroys the
// window (the result is then that of the destruction). False without a registry or for handle -1.
// Raises error 5 for a handle that is not registered.
bool UnregisterSocket(platform::winsock::Socket handle);

// The window procedure of the notification window: hands each socket notification to its object's
// PostSocketEvent, after the connect-pending rule. A notification for a handle that is not
// registered is dropped silently. Always returns 0.
platform::LResult WindowProc(platform::WindowHandle window, platform::MessageId message,
                             platform::WParam wparam, platform::LParam lparam);

// A counted reference to a registered object, keeping it alive through a dispatch even if a
// handler drops its owner's last reference; empty once the object is being destroyed.
std::shared_ptr<CSocket> SocketObjectFromPointer(CSocket* object);

// Dotted IPv4 text for a host name or dotted address (blocking lookup); "" when it does not
// resolve.
std::string ResolveHostName(std::string_view host_name);

// Low and high 16 bits of a 32-bit value, unsigned.
constexpr std::int32_t LoWord(std::int32_t value) {
  return value & 0xFFFF;
}
constexpr std::int32_t HiWord(std::int32_t value) {
  return static_cast<std::int32_t>((static_cast<std::uint32_t>(value) >> 16) & 0xFFFF);
}

// A port 0..65535 as the 16-bit value of a socket address; anything else raises error 6
// ("Overflow").
inline std::uint16_t PortToUnsignedShort(std::int32_t port) {
  if (port < 0 || port > 65535) Raise(6, "Overflow");
  return static_cast<std::uint16_t>(port);
}

}  // namespace MSocketSupport
}  // namespace tarvik
