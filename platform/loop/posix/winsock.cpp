#include "platform/loop/winsock.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <charconv>

#include "platform/loop/posix/error_mapping.h"
#include "platform/loop/posix/thread_loop.h"

namespace tarvik::platform::winsock {
namespace {

using loop::SocketNotifier;
using loop::ThreadLoop;

thread_local int t_last_error = 0;
std::atomic<int> g_startups{0};

int Fail(int error) {
  t_last_error = error;
  return kSocketError;
}

int FailErrno() {
  return Fail(ErrorFromErrno(errno));
}

bool Started() {
  if (g_startups.load(std::memory_order_acquire) > 0) return true;
  t_last_error = kWsaNotInitialised;
  return false;
}

// The calling thread's notifier, if the thread has a loop at all.
SocketNotifier* Notifier() {
  ThreadLoop* loop = ThreadLoop::Existing();
  return loop == nullptr ? nullptr : &loop->Sockets();
}

sockaddr_in ToSockaddr(const SocketAddress& address) {
  sockaddr_in native{};
  native.sin_family = AF_INET;
  native.sin_port = htons(address.port);
  native.sin_addr.s_addr = address.address;
  return native;
}

SocketAddress FromSockaddr(const sockaddr_in& native) {
  return SocketAddress{native.sin_addr.s_addr, ntohs(native.sin_port)};
}

bool IsSocket(Socket socket) {
  int type = 0;
  socklen_t length = sizeof type;
  return getsockopt(socket, SOL_SOCKET, SO_TYPE, &type, &length) == 0;
}

// Which phase a socket that gets selected is in, as far as the system can tell.
SocketNotifier::Phase ProbePhase(Socket socket) {
  int listening = 0;
  socklen_t length = sizeof listening;
  if (getsockopt(socket, SOL_SOCKET, SO_ACCEPTCONN, &listening, &length) == 0 && listening) {
    return SocketNotifier::Phase::kListening;
  }
  sockaddr_in peer{};
  socklen_t peer_length = sizeof peer;
  if (getpeername(socket, reinterpret_cast<sockaddr*>(&peer), &peer_length) == 0) {
    return SocketNotifier::Phase::kConnected;
  }
  return SocketNotifier::Phase::kIdle;
}

int NativeOption(int level, int option) {
  if (level != kSolSocket) return -1;
  if (option == kSoRcvBuf) return SO_RCVBUF;
  if (option == kSoSndBuf) return SO_SNDBUF;
  return -1;
}

std::optional<HostEntry> ResolverFailure(int eai_code) {
  t_last_error = ErrorFromResolver(eai_code);
  return std::nullopt;
}

}  // namespace

int Startup(std::uint16_t requested_version, StartupData& data) {
  if ((requested_version & 0xFF) == 0) return kWsaVerNotSupported;
  data.version = requested_version;
  data.high_version = 0x0202;
  data.max_sockets = 32767;
  data.max_udp_datagram = 65467;
  g_startups.fetch_add(1, std::memory_order_acq_rel);
  return 0;
}

int Cleanup() {
  int count = g_startups.load(std::memory_order_acquire);
  while (count > 0) {
    if (g_startups.compare_exchange_weak(count, count - 1, std::memory_order_acq_rel)) return 0;
  }
  return Fail(kWsaNotInitialised);
}

int GetLastError() {
  return t_last_error;
}

void SetLastError(int error) {
  t_last_error = error;
}

int AsyncSelect(Socket socket, WindowHandle window, MessageId message, long mask) {
  if (!Started()) return kSocketError;
  if (!IsSocket(socket)) return Fail(kWsaENotSock);
  if (mask == 0) {
    if (SocketNotifier* notifier = Notifier()) notifier->Cancel(socket);
    return 0;
  }
  ThreadLoop& loop = ThreadLoop::Current();
  if (!loop.OwnsWindow(window)) return Fail(kWsaEInval);
  const int flags = fcntl(socket, F_GETFL);
  if (flags < 0 || fcntl(socket, F_SETFL, flags | O_NONBLOCK) < 0) return FailErrno();
  loop.Sockets().Select(socket, window, message, mask, ProbePhase(socket));
  return 0;
}

Socket CreateSocket(int family, int type, int protocol) {
  if (!Started()) return kInvalidSocket;
  const int created = ::socket(family, type | SOCK_CLOEXEC, protocol);
  return created < 0 ? FailErrno() : created;
}

int CloseSocket(Socket socket) {
  if (!Started()) return kSocketError;
  if (SocketNotifier* notifier = Notifier()) notifier->Cancel(socket);
  return ::close(socket) == 0 ? 0 : FailErrno();
}

int Connect(Socket socket, const SocketAddress& peer) {
  if (!Started()) return kSocketError;
  SocketNotifier* notifier = Notifier();
  const bool selected = notifier != nullptr && notifier->IsSelected(socket);
  // Linux answers the first connect after a settled non-blocking one with success; Windows
  // Sockets says "already connected" (or "already in progress" while it is under way).
  if (selected && notifier->PhaseOf(socket) == SocketNotifier::Phase::kConnected) {
    return Fail(kWsaEIsConn);
  }
  if (selected && notifier->PhaseOf(socket) == SocketNotifier::Phase::kConnecting) {
    return Fail(kWsaEAlready);
  }
  const sockaddr_in native = ToSockaddr(peer);
  const int result = ::connect(socket, reinterpret_cast<const sockaddr*>(&native), sizeof native);
  if (result == 0) {
    if (!selected) return 0;
    // A non-blocking connect always answers "would block" and reports its outcome by notification.
    notifier->ConnectedAtOnce(socket);
    return Fail(kWsaEWouldBlock);
  }
  if (errno == EINPROGRESS) {
    if (selected) notifier->ConnectStarted(socket);
    return Fail(kWsaEWouldBlock);
  }
  return FailErrno();
}

int Bind(Socket socket, const SocketAddress& local) {
  if (!Started()) return kSocketError;
  const sockaddr_in native = ToSockaddr(local);
  return ::bind(socket, reinterpret_cast<const sockaddr*>(&native), sizeof native) == 0
             ? 0
             : FailErrno();
}

int Listen(Socket socket, int backlog) {
  if (!Started()) return kSocketError;
  if (::listen(socket, backlog) != 0) return FailErrno();
  if (SocketNotifier* notifier = Notifier()) notifier->ListenStarted(socket);
  return 0;
}

Socket Accept(Socket socket, SocketAddress* peer) {
  if (!Started()) return kInvalidSocket;
  sockaddr_in native{};
  socklen_t length = sizeof native;
  SocketNotifier* notifier = Notifier();
  const bool selected = notifier != nullptr && notifier->IsSelected(socket);
  const int accepted = ::accept4(socket, reinterpret_cast<sockaddr*>(&native), &length,
                                 SOCK_CLOEXEC | (selected ? SOCK_NONBLOCK : 0));
  const int error = accepted < 0 ? ErrorFromErrno(errno) : 0;
  if (selected) {
    notifier->Accepted(socket);
    if (accepted >= 0) notifier->Inherit(accepted, socket);
  }
  if (accepted < 0) return Fail(error);
  if (peer != nullptr) *peer = FromSockaddr(native);
  return accepted;
}

int Send(Socket socket, const void* data, int length) {
  if (!Started()) return kSocketError;
  if (length < 0) return Fail(kWsaEInval);
  const ssize_t sent = ::send(socket, data, static_cast<size_t>(length), MSG_NOSIGNAL);
  const int error = sent < 0 ? ErrorFromErrno(errno) : 0;
  if (SocketNotifier* notifier = Notifier()) notifier->Sent(socket, error);
  return sent < 0 ? Fail(error) : static_cast<int>(sent);
}

int Recv(Socket socket, void* buffer, int length) {
  if (!Started()) return kSocketError;
  if (length < 0) return Fail(kWsaEInval);
  const ssize_t got = ::recv(socket, buffer, static_cast<size_t>(length), 0);
  const int error = got < 0 ? ErrorFromErrno(errno) : 0;
  if (SocketNotifier* notifier = Notifier()) notifier->Received(socket, error);
  return got < 0 ? Fail(error) : static_cast<int>(got);
}

int Shutdown(Socket socket, int how) {
  if (!Started()) return kSocketError;
  static constexpr int kNative[] = {SHUT_RD, SHUT_WR, SHUT_RDWR};
  if (how < kSdReceive || how > kSdBoth) return Fail(kWsaEInval);
  return ::shutdown(socket, kNative[how]) == 0 ? 0 : FailErrno();
}

int SetSockOpt(Socket socket, int level, int option, int value) {
  if (!Started()) return kSocketError;
  const int native = NativeOption(level, option);
  if (native < 0) return Fail(kWsaENoProtoOpt);
  return ::setsockopt(socket, SOL_SOCKET, native, &value, sizeof value) == 0 ? 0 : FailErrno();
}

int GetSockOpt(Socket socket, int level, int option, int& value) {
  if (!Started()) return kSocketError;
  const int native = NativeOption(level, option);
  if (native < 0) return Fail(kWsaENoProtoOpt);
  socklen_t length = sizeof value;
  return ::getsockopt(socket, SOL_SOCKET, native, &value, &length) == 0 ? 0 : FailErrno();
}

int BytesReadable(Socket socket, int& count) {
  if (!Started()) return kSocketError;
  count = 0;
  return ::ioctl(socket, FIONREAD, &count) == 0 ? 0 : FailErrno();
}

int GetSockName(Socket socket, SocketAddress& local) {
  if (!Started()) return kSocketError;
  sockaddr_in native{};
  socklen_t length = sizeof native;
  if (::getsockname(socket, reinterpret_cast<sockaddr*>(&native), &length) != 0) {
    return FailErrno();
  }
  local = FromSockaddr(native);
  return 0;
}

int GetPeerName(Socket socket, SocketAddress& peer) {
  if (!Started()) return kSocketError;
  sockaddr_in native{};
  socklen_t length = sizeof native;
  if (::getpeername(socket, reinterpret_cast<sockaddr*>(&native), &length) != 0) {
    return FailErrno();
  }
  peer = FromSockaddr(native);
  return 0;
}

std::optional<HostEntry> GetHostByName(std::string_view name) {
  if (!Started()) return std::nullopt;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  addrinfo* found = nullptr;
  const int result = getaddrinfo(std::string(name).c_str(), nullptr, &hints, &found);
  if (result != 0) return ResolverFailure(result);
  HostEntry entry;
  entry.name = found->ai_canonname != nullptr ? found->ai_canonname : std::string(name);
  for (const addrinfo* a = found; a != nullptr; a = a->ai_next) {
    const auto* in = reinterpret_cast<const sockaddr_in*>(a->ai_addr);
    if (std::find(entry.addresses.begin(), entry.addresses.end(), in->sin_addr.s_addr) ==
        entry.addresses.end()) {
      entry.addresses.push_back(in->sin_addr.s_addr);
    }
  }
  freeaddrinfo(found);
  if (entry.addresses.empty()) return ResolverFailure(EAI_NODATA);
  return entry;
}

std::optional<HostEntry> GetHostByAddr(std::uint32_t address) {
  if (!Started()) return std::nullopt;
  const sockaddr_in native = ToSockaddr(SocketAddress{address, 0});
  char name[NI_MAXHOST];
  const int result = getnameinfo(reinterpret_cast<const sockaddr*>(&native), sizeof native, name,
                                 sizeof name, nullptr, 0, NI_NAMEREQD);
  if (result != 0) return ResolverFailure(result);
  return HostEntry{name, {address}};
}

}  // namespace tarvik::platform::winsock
