// CSocket: creation, handles, binding, listening, connecting, accepting, closing and the error
// report. Sending, receiving and the notification handling are in csocket_transfer.cpp.
#include "net/csocket.h"

#include <algorithm>

#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "core/errors/error_record.h"
#include "core/errors/pending_error.h"
#include "platform/loop/winsock_errors.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

namespace ws = platform::winsock;

// Raised by the class itself.

// A receive never asks for more than this, however large Rcvbuf is; no system hands over more
// in one receive, and an absurd Rcvbuf must not make the buffer exhaust memory.
constexpr std::int32_t kMaxReceiveSize = 16 * 1024 * 1024;

}  // namespace

std::shared_ptr<CSocket> CSocket::Create() {
  return std::make_shared<CSocket>(Passkey{});
}

CSocket::CSocket(Passkey) {
  // Reports its own failure; the next handle creation tries again.
  MSocketSupport::InitWinsockService();
}

CSocket::~CSocket() {
  // A dying object raises no events: its owner may be half destroyed already.
  OnError = nullptr;
  OnClose = nullptr;
  if (handle_ != ws::kInvalidSocket) DestroySocket();
  MSocketSupport::CleanupWinsockService();
}

void CSocket::SetRemoteHost(std::string_view value) {
  const std::string_view trimmed = platform::Trim(value, platform::kSpaces);
  if (trimmed.empty()) return;
  remote_host_ = trimmed;
  if (ws::InetAddr(remote_host_)) return;
  std::string resolved = MSocketSupport::ResolveHostName(remote_host_);
  if (resolved.empty()) {
    EnsureErrorRecord().put_Number(platform::winsock::kWsaHostNotFound);
  } else {
    remote_host_ = std::move(resolved);
  }
}

bool CSocket::SocketExists() {
  Guarded("SocketExists", [&] {
    if (handle_ != ws::kInvalidSocket) return;
    const std::int32_t created = InitSocket();
    if (created == ws::kInvalidSocket) return;
    handle_ = created;
    // A new connection starts with nothing of an earlier one pending.
    DropPendingSend();
    GetWinsockBuffers();
  });
  return handle_ != ws::kInvalidSocket;
}

std::int32_t CSocket::InitSocket() {
  std::int32_t result = ws::kInvalidSocket;
  Guarded("InitSocket", [&] {
    // Another socket object may have stopped Windows Sockets since this one was created.
    MSocketSupport::InitWinsockService();
    const ws::Socket created = ws::CreateSocket(ws::kAfInet, ws::kSockStream, ws::kIpProtoTcp);
    if (created == ws::kInvalidSocket) RaiseLastSocketError();
    if (!MSocketSupport::RegisterSocket(created, this)) {
      const long number = EnsureErrorRecord().get_Number();
      // Leave no entry behind for a handle number that the system will hand out again.
      auto& registry = MSocketSupport::State().SocketRegistry;
      if (registry && registry->contains(created) && registry->at(created) == this) {
        MSocketSupport::UnregisterSocket(created);
      }
      ws::CloseSocket(created);
      Raise(number);
    }
    result = created;
  });
  return result;
}

void CSocket::GetWinsockBuffers() {
  Guarded("GetWinsockBuffers", [&] {
    if (rcvbuf_ > 0) {
      if (ws::SetSockOpt(handle_, ws::kSolSocket, ws::kSoRcvBuf, rcvbuf_) != 0) {
        RaiseLastSocketError();
      }
      receive_size_ = rcvbuf_;
    } else if (ws::GetSockOpt(handle_, ws::kSolSocket, ws::kSoRcvBuf, receive_size_) != 0) {
      RaiseLastSocketError();
    }
    if (sndbuf_ > 0 && ws::SetSockOpt(handle_, ws::kSolSocket, ws::kSoSndBuf, sndbuf_) != 0) {
      RaiseLastSocketError();
    }
    receive_size_ = std::clamp(receive_size_, 1, kMaxReceiveSize);
  });
}

void CSocket::Bind(std::int32_t lngLocalPort, std::string_view strLocalIP) {
  Guarded("Bind", [&] {
    if (!SocketExists()) return;
    if (!strLocalIP.empty()) local_ip_ = strLocalIP;
    if (lngLocalPort > 0) local_port_ = lngLocalPort;
    std::uint32_t address = 0;
    if (!local_ip_.empty()) {
      const auto parsed = ws::InetAddr(local_ip_);
      if (!parsed) Raise(ws::kWsaEAddrNotAvail);
      address = *parsed;
    }
    const ws::SocketAddress local{address, MSocketSupport::PortToUnsignedShort(local_port_)};
    if (ws::Bind(handle_, local) != 0) RaiseLastSocketError();
    bound_ = true;
  });
}

void CSocket::Listen() {
  Guarded("Listen", [&] {
    if (!SocketExists()) return;
    if (!bound_) Bind(0, "");
    const int error = !bound_                       ? ws::kWsaEInval
                      : ws::Listen(handle_, 5) == 0 ? 0
                                                    : ws::GetLastError();
    if (error != 0) {
      // In the error state a socket never holds a handle.
      DestroySocket();
      state_ = SocketState::kError;
      Raise(error);
    }
    state_ = SocketState::kListening;
  });
}

void CSocket::Connect() {
  Guarded("Connect", [&] {
    if (remote_host_.empty()) {
      CError& record = EnsureErrorRecord();
      if (record.get_Number() == 0) record.put_Number(ErrorCode::kHostnameRequired);
      Raise(record.get_Number());
    }
    const auto address = ws::InetAddr(remote_host_);
    if (!address) Raise(ErrorCode::kHostNotResolved);
    const ws::SocketAddress peer{*address, MSocketSupport::PortToUnsignedShort(RemotePort())};
    // "Already connected" closes and tries once more; a second such answer is an error.
    for (bool retried = false;; retried = true) {
      if (!SocketExists()) return;
      const int error = ws::Connect(handle_, peer) == 0 ? 0 : ws::GetLastError();
      if (error == 0 || error == ws::kWsaEWouldBlock) {
        state_ =
            SocketState::kConnecting;  // the outcome arrives as a connect-finished notification
        return;
      }
      if (error != ws::kWsaEIsConn || retried) Raise(error);
      Trace("CloseSocket And Connect");
      CloseSocket();
    }
  });
}

void CSocket::Accept(std::int32_t requestID) {
  Guarded("Accept", [&] {
    // An object that still holds another handle gives it up rather than lose track of it.
    if (handle_ != ws::kInvalidSocket && handle_ != requestID) DestroySocket();
    handle_ = requestID;
    DropPendingSend();
    ws::SocketAddress local;
    if (ws::GetSockName(handle_, local) != 0) RaiseLastSocketError();
    local_ip_ = ws::InetNtoa(local.address);
    local_port_ = local.port;
    local_host_name_ = local_ip_;
    local_name_pending_ = false;
    ws::SocketAddress peer;
    if (ws::GetPeerName(handle_, peer) != 0) RaiseLastSocketError();
    remote_host_ = ws::InetNtoa(peer.address);
    remote_port_ = peer.port;
    GetWinsockBuffers();
    if (!MSocketSupport::RegisterSocket(handle_, this)) Raise(EnsureErrorRecord().get_Number());
    state_ = SocketState::kConnected;
  });
}

void CSocket::CloseSocket() {
  if (handle_ == ws::kInvalidSocket) return;
  Guarded("Close", [&] {
    if (state_ == SocketState::kConnected) {
      // Graceful: the handle stays until the peer's close arrives, which raises OnClose.
      state_ = SocketState::kClosing;
      if (ws::Shutdown(handle_, ws::kSdSend) != 0) RaiseLastSocketError();
    } else {
      DestroySocket();
      state_ = SocketState::kClosed;
    }
  });
}

void CSocket::DestroySocket() {
  if (handle_ == ws::kInvalidSocket) return;
  Guarded("DestroySocket", [&] {
    const ws::Socket handle = handle_;
    handle_ = ws::kInvalidSocket;
    bound_ = false;
    // The handle is closed even when its registry entry is missing, so that it never leaks.
    try {
      MSocketSupport::UnregisterSocket(handle);
    } catch (const NumberedError&) {
      ws::CloseSocket(handle);
      throw;
    }
    if (ws::CloseSocket(handle) != 0) RaiseLastSocketError();
  });
}

void CSocket::ReportSocketError(std::string_view source, long number,
                                std::string_view description) {
  const auto keep_alive = weak_from_this().lock();  // the handler may drop the owner's reference
  DispatchError("CSocket." + std::string(source), number, description, false);
  if (OnError) OnError();
  MSocketSupport::State().ConnectPending = false;
}

void CSocket::ReportSocketError(std::string_view source, const NumberedError& failure) {
  // The error being handled, as the record's fallbacks expect to find it.
  PendingErrorScope pending(failure.number(), failure.description());
  ReportSocketError(source, failure.number(), failure.description());
}

void CSocket::Trace(std::string_view text) const {
  if (CError* record = FindErrorRecord()) record->WriteFile(text, false);
}

void CSocket::RaiseLastSocketError() {
  Raise(ws::GetLastError());
}

}  // namespace tarvik
