// Windows Sockets themselves, with the system's own notification (WSAAsyncSelect).
#include "platform/loop/winsock.h"

#include "platform/win32/windows_api.h"

namespace tarvik::platform::winsock {
namespace {

// The thread's last error, kept apart from the system's, which any other call may overwrite.
thread_local int t_last_error = 0;

int Fail(int error) {
  t_last_error = error;
  return kSocketError;
}

// `result` as it is, with the system's reason taken when it says the call failed.
int Checked(int result) {
  return result == SOCKET_ERROR ? Fail(WSAGetLastError()) : result;
}

// Handles stay in an int: the system's socket handles are small numbers.
::SOCKET Native(Socket socket) {
  return socket == kInvalidSocket ? INVALID_SOCKET : static_cast<::SOCKET>(socket);
}

Socket Ours(::SOCKET socket) {
  return socket == INVALID_SOCKET ? kInvalidSocket : static_cast<Socket>(socket);
}

::sockaddr_in ToSockaddr(const SocketAddress& address) {
  ::sockaddr_in native{};
  native.sin_family = AF_INET;
  native.sin_port = htons(address.port);
  native.sin_addr.s_addr = address.address;
  return native;
}

SocketAddress FromSockaddr(const ::sockaddr_in& native) {
  return SocketAddress{native.sin_addr.s_addr, ntohs(native.sin_port)};
}

int AddressCall(int(WSAAPI* call)(::SOCKET, ::sockaddr*, int*), Socket socket,
                SocketAddress& address) {
  ::sockaddr_in native{};
  int length = sizeof native;
  if (call(Native(socket), reinterpret_cast<::sockaddr*>(&native), &length) == SOCKET_ERROR)
    return Fail(WSAGetLastError());
  address = FromSockaddr(native);
  return 0;
}

std::optional<HostEntry> ResolverFailure() {
  t_last_error = WSAGetLastError();
  return std::nullopt;
}

}  // namespace

int Startup(std::uint16_t requested_version, StartupData& data) {
  ::WSADATA native{};
  const int result = WSAStartup(requested_version, &native);
  if (result != 0) return result;
  data.version = native.wVersion;
  data.high_version = native.wHighVersion;
  data.max_sockets = native.iMaxSockets;
  data.max_udp_datagram = native.iMaxUdpDg;
  return 0;
}

int Cleanup() {
  return Checked(WSACleanup());
}

int GetLastError() {
  return t_last_error;
}

void SetLastError(int error) {
  t_last_error = error;
}

int AsyncSelect(Socket socket, WindowHandle window, MessageId message, long mask) {
  const auto hwnd = reinterpret_cast<::HWND>(window);
  if (mask != 0 && GetWindowThreadProcessId(hwnd, nullptr) != GetCurrentThreadId())
    return Fail(kWsaEInval);
  return Checked(WSAAsyncSelect(Native(socket), hwnd, message, mask));
}

Socket CreateSocket(int family, int type, int protocol) {
  const ::SOCKET created = socket(family, type, protocol);
  if (created == INVALID_SOCKET) Fail(WSAGetLastError());
  return Ours(created);
}

int CloseSocket(Socket socket) {
  return Checked(closesocket(Native(socket)));
}

int Connect(Socket socket, const SocketAddress& peer) {
  const ::sockaddr_in native = ToSockaddr(peer);
  return Checked(
      connect(Native(socket), reinterpret_cast<const ::sockaddr*>(&native), sizeof native));
}

int Bind(Socket socket, const SocketAddress& local) {
  const ::sockaddr_in native = ToSockaddr(local);
  return Checked(bind(Native(socket), reinterpret_cast<const ::sockaddr*>(&native), sizeof native));
}

int Listen(Socket socket, int backlog) {
  return Checked(listen(Native(socket), backlog));
}

Socket Accept(Socket socket, SocketAddress* peer) {
  ::sockaddr_in native{};
  int length = sizeof native;
  const ::SOCKET accepted = accept(Native(socket), reinterpret_cast<::sockaddr*>(&native), &length);
  if (accepted == INVALID_SOCKET) {
    Fail(WSAGetLastError());
    return kInvalidSocket;
  }
  if (peer != nullptr) *peer = FromSockaddr(native);
  return Ours(accepted);
}

int Send(Socket socket, const void* data, int length) {
  return Checked(send(Native(socket), static_cast<const char*>(data), length, 0));
}

int Recv(Socket socket, void* buffer, int length) {
  return Checked(recv(Native(socket), static_cast<char*>(buffer), length, 0));
}

int Shutdown(Socket socket, int how) {
  return Checked(shutdown(Native(socket), how));
}

// The option numbers are the system's own.
int SetSockOpt(Socket socket, int level, int option, int value) {
  return Checked(setsockopt(Native(socket), level, option, reinterpret_cast<const char*>(&value),
                            sizeof value));
}

int GetSockOpt(Socket socket, int level, int option, int& value) {
  int length = sizeof value;
  return Checked(
      getsockopt(Native(socket), level, option, reinterpret_cast<char*>(&value), &length));
}

int BytesReadable(Socket socket, int& count) {
  u_long held = 0;
  const int result = Checked(ioctlsocket(Native(socket), FIONREAD, &held));
  count = result == 0 ? static_cast<int>(held) : 0;
  return result;
}

int GetSockName(Socket socket, SocketAddress& local) {
  return AddressCall(getsockname, socket, local);
}

int GetPeerName(Socket socket, SocketAddress& peer) {
  return AddressCall(getpeername, socket, peer);
}

std::optional<HostEntry> GetHostByName(std::string_view name) {
  ::addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  hints.ai_flags = AI_CANONNAME;
  ::addrinfo* found = nullptr;
  if (getaddrinfo(std::string(name).c_str(), nullptr, &hints, &found) != 0)
    return ResolverFailure();
  HostEntry entry;
  entry.name = found->ai_canonname != nullptr ? found->ai_canonname : std::string(name);
  for (const ::addrinfo* a = found; a != nullptr; a = a->ai_next)
    entry.addresses.push_back(reinterpret_cast<const ::sockaddr_in*>(a->ai_addr)->sin_addr.s_addr);
  freeaddrinfo(found);
  return entry;
}

std::optional<HostEntry> GetHostByAddr(std::uint32_t address) {
  const ::sockaddr_in native = ToSockaddr({address, 0});
  char name[NI_MAXHOST] = {};
  if (getnameinfo(reinterpret_cast<const ::sockaddr*>(&native), sizeof native, name, sizeof name,
                  nullptr, 0, NI_NAMEREQD) != 0)
    return ResolverFailure();
  return HostEntry{name, {address}};
}

}  // namespace tarvik::platform::winsock
