// Windows Sockets for IPv4 TCP, with the asynchronous notification mode that posts one window
// message per socket event to a window of the calling thread's loop. On Windows these are the
// system's own calls (WSAAsyncSelect); on Linux they are built on POSIX sockets, as described
// below.
//
// Handles are the file descriptors. Results follow the Windows Sockets calls they stand in for:
// kSocketError / kInvalidSocket on failure, with the reason in GetLastError() as a Windows Sockets
// number (10004..11004; see winsock_errors.h). Nothing here throws.
//
// Notification mode (AsyncSelect), as Windows Sockets defines it:
//  - the socket becomes non-blocking; a connect then answers kWsaEWouldBlock and settles later;
//  - kFdConnect is posted once when a connect settles, carrying the error on failure;
//  - kFdWrite is posted once when the socket gets connected (connect or accept), then again only
//    after a Send that failed with kWsaEWouldBlock, once there is room;
//  - kFdRead is posted when data waits and not again until the next Recv; a Recv that leaves data
//    behind brings the next kFdRead;
//  - kFdAccept likewise, re-armed by each Accept;
//  - kFdClose is posted once, when the peer closes (error 0) or resets the connection
//  (kWsaEConnReset);
//  - events found together are posted in the order connect, accept, read, write, close.
// The message's wParam is the socket, its lParam MakeSelectReply(event, error). Notifications still
// queued for a socket are purged when it is closed or its selection is cancelled or replaced, so a
// handle number reused by a new socket never receives the old socket's events.
// A selected socket belongs to the thread that selected it and must be used from that thread.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/loop/message_loop.h"
#include "platform/loop/winsock_errors.h"

namespace tarvik::platform::winsock {

using Socket = int;
inline constexpr Socket kInvalidSocket = -1;
inline constexpr int kSocketError = -1;

// Address family, type and protocol of an IPv4 TCP socket.
inline constexpr int kAfInet = 2;
inline constexpr int kSockStream = 1;
inline constexpr int kIpProtoTcp = 6;

// Socket options.
inline constexpr int kSolSocket = 0xFFFF;
inline constexpr int kSoSndBuf = 0x1001;
inline constexpr int kSoRcvBuf = 0x1002;

// Shutdown directions.
inline constexpr int kSdReceive = 0;
inline constexpr int kSdSend = 1;
inline constexpr int kSdBoth = 2;

// Notification events.
inline constexpr long kFdRead = 1;
inline constexpr long kFdWrite = 2;
inline constexpr long kFdOob = 4;
inline constexpr long kFdAccept = 8;
inline constexpr long kFdConnect = 16;
inline constexpr long kFdClose = 32;

// lParam of a notification: event in the low 16 bits, error in the high 16 bits.
constexpr LParam MakeSelectReply(long event, int error) {
  return static_cast<LParam>((static_cast<std::uint32_t>(error) << 16) |
                             (static_cast<std::uint32_t>(event) & 0xFFFF));
}

// An IPv4 endpoint.
struct SocketAddress {
  std::uint32_t address = 0;  // network byte order, as InetAddr gives it; 0 = any
  std::uint16_t port = 0;     // host byte order
};

struct StartupData {
  std::uint16_t version = 0;       // version granted
  std::uint16_t high_version = 0;  // highest version available
  std::uint16_t max_sockets = 0;
  std::uint16_t max_udp_datagram = 0;  // largest datagram, as the 16-bit field reports it
};

struct HostEntry {
  std::string name;                      // official name
  std::vector<std::uint32_t> addresses;  // IPv4 addresses, network byte order
};

// Starts Windows Sockets for the process (each Startup counts, and needs its Cleanup). Returns 0 on
// success, else kWsaVerNotSupported when the major version requested is 0.
int Startup(std::uint16_t requested_version, StartupData& data);
// Undoes one Startup. kSocketError with kWsaNotInitialised when none is active.
int Cleanup();

// The calling thread's last error, as Windows Sockets numbers it.
int GetLastError();
void SetLastError(int error);

// Selects notification for `socket` to `window` with `message` for the events in `mask`; mask 0
// cancels. Replaces any earlier selection of the socket. kSocketError with kWsaEInval for an
// unknown window or a window of another thread, kWsaENotSock for a bad handle.
int AsyncSelect(Socket socket, WindowHandle window, MessageId message, long mask);

// The calls below fail with kWsaNotInitialised while no Startup is active.
Socket CreateSocket(int family, int type, int protocol);
int CloseSocket(Socket socket);
int Connect(Socket socket, const SocketAddress& peer);
int Bind(Socket socket, const SocketAddress& local);
int Listen(Socket socket, int backlog);
// The new connection's socket; `peer` (optional) gets the peer's address. As in Windows Sockets,
// the new socket inherits the listening socket's selection (kFdWrite included, once writable);
// selecting it again starts its notifications afresh.
Socket Accept(Socket socket, SocketAddress* peer);
int Send(Socket socket, const void* data, int length);
int Recv(Socket socket, void* buffer, int length);
int Shutdown(Socket socket, int how);
int SetSockOpt(Socket socket, int level, int option, int value);
int GetSockOpt(Socket socket, int level, int option, int& value);
// ioctlsocket with FIONREAD: how many bytes one could receive at once from `socket` now.
int BytesReadable(Socket socket, int& count);
int GetSockName(Socket socket, SocketAddress& local);
int GetPeerName(Socket socket, SocketAddress& peer);

// Dotted IPv4 text ("192.168.0.1") to an address in network byte order; nothing when the text is
// not exactly four decimal numbers 0..255 joined by dots.
std::optional<std::uint32_t> InetAddr(std::string_view dotted);
// Address in network byte order to dotted text.
std::string InetNtoa(std::uint32_t address);

// Blocking IPv4 lookups. Nothing on failure, with kWsaHostNotFound, kWsaTryAgain, kWsaNoRecovery
// or kWsaNoData in GetLastError().
std::optional<HostEntry> GetHostByName(std::string_view name);
std::optional<HostEntry> GetHostByAddr(std::uint32_t address);

}  // namespace tarvik::platform::winsock
