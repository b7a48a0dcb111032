// CSocket: sending, receiving and the handling of the notifications that MSocketSupport's
// WindowProc passes on.
#include <algorithm>
#include <climits>
#include <limits>
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_dispatch.h"
#include "core/errors/pending_error.h"
#include "net/csocket.h"
#include "platform/text/code_page.h"
#include "platform/time/date_format.h"
#include "platform/time/local_time.h"

namespace tarvik {
namespace {

namespace ws = platform::winsock;

constexpr std::string_view kWrongStateText =
    "Wrong protocol or connection state for the requested transaction or request.";

// Source of the report of an error carried by, or met while handling, a notification.
constexpr std::string_view kNotificationErrorSource = "--PostSocketEvent--ErrorDeal---";

// A byte count given as a Double by the caller, as a count of at most `available` bytes.
std::size_t ClampCount(double requested, std::size_t available) {
  if (!(requested > 0)) return 0;  // also NaN
  if (requested >= static_cast<double>(available)) return available;
  return static_cast<std::size_t>(requested);
}

std::string WholeNumber(double value) {
  return std::to_string(static_cast<long long>(value));
}

}  // namespace

void CSocket::SendData(std::string_view varData, double& lngBufferLength, bool blnListCommand,
                       bool blnUTF8) {
  try {
    list_command_ = blnListCommand;
    if (handle_ == ws::kInvalidSocket) Raise(ErrorCode::kNoSocket);
    if (blnUTF8) {
      // Text is UTF-8 inside the library already.
      lngBufferLength = static_cast<double>(varData.size());
      SendBytes(reinterpret_cast<const std::uint8_t*>(varData.data()), varData.size());
    } else {
      const std::string ansi = platform::Utf8ToAnsi(varData);
      // The caller's count may not reach past the converted text.
      SendBytes(reinterpret_cast<const std::uint8_t*>(ansi.data()),
                ClampCount(lngBufferLength, ansi.size()));
    }
  } catch (const NumberedError& failure) {
    ReportSendDataFailure(failure);
  }
}

void CSocket::SendData(std::span<const std::uint8_t> varData, double lngBufferLength,
                       bool blnListCommand) {
  try {
    list_command_ = blnListCommand;
    if (handle_ == ws::kInvalidSocket) Raise(ErrorCode::kNoSocket);
    SendBytes(varData.data(), ClampCount(lngBufferLength, varData.size()));
  } catch (const NumberedError& failure) {
    ReportSendDataFailure(failure);
  }
}

void CSocket::ReportSendDataFailure(const NumberedError& failure) {
  PendingErrorScope pending(failure.number(), failure.description());
  if (failure.number() == ErrorCode::kNoSocket || failure.number() == ws::kWsaENotSock) {
    ReportSocketError("SendData", failure.number(), kWrongStateText);
  } else {
    ReportSocketError("SendData", failure.number(), failure.description());
  }
}

void CSocket::QueueForSending(const std::uint8_t* data, std::size_t length) {
  if (PendingSendBytes() == 0) {
    DropPendingSend();
  } else if (send_offset_ > 0 && length > 0) {
    // Keep only what is still unsent, so that the buffer does not grow with every call.
    send_buffer_.erase(send_buffer_.begin(),
                       send_buffer_.begin() + static_cast<std::ptrdiff_t>(send_offset_));
    send_offset_ = 0;
  }
  if (length > 0) send_buffer_.insert(send_buffer_.end(), data, data + length);
  m_lngBufferLen = static_cast<double>(send_buffer_.size() - send_offset_);
}

std::size_t CSocket::PendingSendBytes() const {
  if (!(m_lngBufferLen > 0)) return 0;
  return send_buffer_.size() - send_offset_;
}

void CSocket::DropPendingSend() {
  send_buffer_.clear();
  send_offset_ = 0;
  m_lngBufferLen = 0;
}

void CSocket::SendBufferedData() {
  SendBytes(nullptr, 0);
}

void CSocket::SendBytes(const std::uint8_t* fresh, std::size_t fresh_length) {
  const auto keep_alive = weak_from_this().lock();  // OnSendProgress may drop the owner's reference
  Guarded("SendBufferedData", [&] {
    if (PendingSendBytes() == 0) DropPendingSend();
    // Hand the system all it takes: first what is still pending, then the fresh bytes, straight
    // from the caller. What it refuses is kept, in order: the ready-to-send notification that
    // follows a send that would have blocked brings the rest out.
    double taken = 0;
    int error = handle_ == ws::kInvalidSocket ? ws::kWsaENotSock : 0;
    const auto send_some = [&](const std::uint8_t* data, std::size_t length) -> std::size_t {
      const int chunk = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
      const int sent = ws::Send(handle_, data, chunk);
      if (sent <= 0) {
        error = ws::GetLastError();
        return 0;
      }
      taken += sent;
      return static_cast<std::size_t>(sent);
    };
    while (error == 0 && PendingSendBytes() > 0) {
      send_offset_ += send_some(send_buffer_.data() + send_offset_, PendingSendBytes());
    }
    std::size_t fresh_sent = 0;
    while (error == 0 && fresh_sent < fresh_length) {
      fresh_sent += send_some(fresh + fresh_sent, fresh_length - fresh_sent);
    }
    QueueForSending(fresh + fresh_sent, fresh_length - fresh_sent);
    if (handle_ == ws::kInvalidSocket) return;  // the bytes stay pending; nothing can take them
    if (list_command_) platform::ProcessPendingMessages();
    if (error != 0 && error != ws::kWsaEWouldBlock) {
      Trace("SendBufferedData--Err.LastDllError=" + std::to_string(error));
    }
    if (PendingSendBytes() == 0) {
      DropPendingSend();
      // Completion is announced from the message loop, never from inside the caller's send.
      if (handle_ != ws::kInvalidSocket) {
        const auto& module = MSocketSupport::State();
        platform::PostMessage(module.NotifyWindow, module.WinsockMessage,
                              static_cast<platform::WParam>(handle_),
                              ws::MakeSelectReply(ws::kFdWrite, 0));
      }
    }
    if (OnSendProgress) OnSendProgress(taken, m_lngBufferLen);
  });
}

void CSocket::GetData(std::string& varData) {
  if (received_count_ > 0) {
    varData = platform::AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(receive_buffer_.data()), received_count_));
  }
  AfterTaking(false);
}

void CSocket::GetData(std::vector<std::uint8_t>& varData) {
  if (received_count_ > 0) {
    const auto count = static_cast<std::size_t>(received_count_);
    // A large receive changes hands instead of being copied, when the caller's vector is big
    // enough to serve as the next receive buffer (an owner that reuses one vector); the caller
    // sees the same bytes either way.
    const auto size = static_cast<std::size_t>(receive_size_);
    if (count > size / 2 && varData.capacity() >= size) {
      varData.swap(receive_buffer_);
      varData.resize(count);
    } else {
      varData.assign(receive_buffer_.begin(), receive_buffer_.begin() + received_count_);
    }
  }
  AfterTaking(false);
}

void CSocket::PeekData(std::string& varData) {
  if (received_count_ > 0) {
    varData = platform::AnsiToUtf8(
        std::string_view(reinterpret_cast<const char*>(receive_buffer_.data()), received_count_));
  }
  AfterTaking(true);
}

void CSocket::PeekData(std::vector<std::uint8_t>& varData) {
  if (received_count_ > 0) {
    varData.assign(receive_buffer_.begin(), receive_buffer_.begin() + received_count_);
  }
  AfterTaking(true);
}

void CSocket::AfterTaking(bool keep) {
  if (!keep) received_count_ = 0;
  bytes_received_ = received_count_;
}

std::int32_t CSocket::RecvDataToBuffer() {
  if (state_ == SocketState::kClosed || state_ == SocketState::kClosing) {
    Trace("RecvDataToBuffer.Socket Closed " + platform::GeneralDateText(platform::LocalNow()) +
          " " + m_strType);
    return 0;
  }
  // Unread bytes of the previous receive are replaced; the buffer itself is reused. A receive takes
  // at most the receive size. A buffer that came back from the owner through GetData is used at
  // the length it came back with, as long as that is at least half the receive size: growing it
  // would only clear the added bytes first.
  received_count_ = 0;
  const auto full = static_cast<std::size_t>(std::max(receive_size_, 1));
  if (receive_buffer_.size() <= full / 2) receive_buffer_.resize(full);
  const auto size = static_cast<int>(std::min(receive_buffer_.size(), full));
  const int got = ws::Recv(handle_, receive_buffer_.data(), size);
  if (got > 0) {
    received_count_ = got;
    return got;
  }
  if (got < 0) {
    const int error = ws::GetLastError();
    if (error != ws::kWsaENotSock && error != ws::kWsaEWouldBlock && error > 0) {
      Trace("RecvDataToBuffer--Err.LastDllError=" + std::to_string(error));
    }
  }
  return 0;
}

void CSocket::PostSocketEvent(std::int32_t event, std::int32_t error) {
  m_lngEventErrorNumber = error;
  if (error > 0) {
    Trace("PostSocketEvent:lngError=" + std::to_string(error));
    // The bytes that arrived before a reset can still be read: they reach the owner before the
    // connection is given up, as they do before an orderly close.
    if (event == MSocketSupport::kEventClose && state_ == SocketState::kConnected) {
      try {
        DeliverPendingData();
      } catch (const NumberedError&) {
        // the owner's failure is its own to report; the reset goes on regardless
      }
    }
    state_ = SocketState::kError;
    ending_error_ = error;
    DestroySocket();
    NotificationFailed(event, error);
    return;
  }
  if (event == MSocketSupport::kEventClose) {
    HandleClosedByPeer();
    return;
  }
  try {
    HandleNotification(event);
  } catch (const NumberedError& failure) {
    PendingErrorScope pending(failure.number(), failure.description());
    NotificationFailed(event, failure.number());
  }
}

void CSocket::HandleNotification(std::int32_t event) {
  switch (event) {
    case MSocketSupport::kEventRead: {
      const std::int32_t got = RecvDataToBuffer();
      bytes_received_ += got;
      if (got > 0 && OnDataArrival) OnDataArrival(got);
      break;
    }
    case MSocketSupport::kEventWrite:
      if (m_lngBufferLen > 0) {
        SendBufferedData();
      } else if (OnSendComplete) {
        OnSendComplete();
      }
      break;
    case MSocketSupport::kEventAccept: {
      const ws::Socket accepted = ws::Accept(handle_, nullptr);
      // A connection that went away before it was taken leaves nothing to hand over.
      if (accepted == ws::kInvalidSocket && ws::GetLastError() == ws::kWsaEWouldBlock) break;
      if (OnConnectionRequest) OnConnectionRequest(accepted);
      break;
    }
    case MSocketSupport::kEventConnect:
      HandleConnectFinished();
      break;
    default:
      break;
  }
}

void CSocket::HandleConnectFinished() {
  ws::SocketAddress local;
  if (ws::GetSockName(handle_, local) != 0) RaiseLastSocketError();
  local_ip_ = ws::InetNtoa(local.address);
  local_port_ = local.port;
  local_address_ = local.address;
  local_host_name_ = local_ip_;
  local_name_pending_ = true;
  state_ = SocketState::kConnected;
  if (OnConnect) OnConnect();
}

const std::string& CSocket::LocalHostName() const {
  if (local_name_pending_) {
    local_name_pending_ = false;
    const auto entry = ws::GetHostByAddr(local_address_);  // blocking reverse lookup
    if (entry) local_host_name_ = entry->name;
  }
  return local_host_name_;
}

void CSocket::DeliverPendingData() {
  DeliverReceived(std::numeric_limits<std::int64_t>::max());
}

void CSocket::DeliverHeldData() {
  int held = 0;
  if (handle_ == ws::kInvalidSocket || ws::BytesReadable(handle_, held) != 0) return;
  DeliverReceived(held);
}

void CSocket::DeliverReceived(std::int64_t limit) {
  while (limit > 0) {
    const std::int32_t got = RecvDataToBuffer();
    if (got == 0) return;
    limit -= got;
    bytes_received_ += got;
    if (OnDataArrival) OnDataArrival(got);
  }
}

void CSocket::HandleClosedByPeer() {
  // Errors are noted and passed over from here on; the close goes through whatever happens.
  long ignored = 0;
  const auto note = [&ignored](const NumberedError& failure) { ignored = failure.number(); };
  // Everything still in the system reaches the owner before OnClose.
  try {
    DeliverPendingData();
  } catch (const NumberedError& failure) {
    note(failure);
  }
  if (state_ != SocketState::kClosing) {
    state_ = SocketState::kClosing;
    if (m_lngBufferLen > 0) SendBufferedData();
  }
  DestroySocket();
  state_ = SocketState::kClosed;
  try {
    if (OnClose) OnClose();
  } catch (const NumberedError& failure) {
    note(failure);
  }
  if (ignored != 0) Trace("PostSocketEvent:Close--Err=" + std::to_string(ignored));
}

void CSocket::NotificationFailed(std::int32_t event, long error) {
  m_lngPostEventErrorID = event;
  if (m_lngBufferLen > 0) {
    Trace("PostSocketEvent:buffer=" + WholeNumber(m_lngBufferLen));
    DropPendingSend();
  }
  if (event == MSocketSupport::kEventClose) {
    // A reset (or a connect that failed the connect-pending rule) ends without any event.
    m_lngPostEventErrorID = 0;
    m_lngEventErrorNumber = 0;
    return;
  }
  if (error == ws::kWsaEConnAborted) return;  // aborted by the local system: nothing to report
  DispatchError(kNotificationErrorSource, error, "", false);
  if (OnError) OnError();
}

}  // namespace tarvik
