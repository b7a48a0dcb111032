#include "ftp/data_connection/data_connection.h"

#include <algorithm>
#include <random>
#include <utility>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/data_connection/data_port.h"
#include "ftp/session/ftp_session.h"
#include "platform/loop/message_loop.h"
#include "platform/loop/winsock.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {
// Ports tried before giving up on active mode (each one in use is skipped).
constexpr int kPortAttempts = 100;

}  // namespace

DataConnection::DataConnection(FtpSession& session)
    : session_(session), socket_(CSocket::Create()) {
  socket_->OnConnectionRequest = [this](std::int32_t id) { OnConnectionRequest(id); };
  socket_->OnConnect = [this] { OnConnect(); };
  socket_->OnDataArrival = [this](double) { OnDataArrival(); };
  socket_->OnSendComplete = [this] { OnSendComplete(); };
  socket_->OnClose = [this] { OnClose(); };
  socket_->OnError = [this] { OnError(); };
}

DataConnection::~DataConnection() {
  socket_->OnConnectionRequest = nullptr;
  socket_->OnConnect = nullptr;
  socket_->OnDataArrival = nullptr;
  socket_->OnSendComplete = nullptr;
  socket_->OnClose = nullptr;
  socket_->OnError = nullptr;
}

template <typename Step>
void DataConnection::Guarded(std::string_view procedure, Step&& step) {
  try {
    step();
  } catch (const NumberedError& error) {
    if (DataTransferSink* sink = session_.transfer_sink()) sink->CloseLocalFile();
    CloseDataConnection();
    session_.ReportError(procedure, static_cast<std::int32_t>(error.number()), error.description());
  }
}

std::string DataConnection::TransferTypeCode() const {
  return tarvik::TransferTypeCode(session_.settings().transfer_mode);
}

std::int32_t DataConnection::GetFreePort() {
  std::int32_t& port = session_.state().next_data_port;
  double fraction = 0;
  if (port == 0) {
    std::mt19937 generator(static_cast<std::uint32_t>(platform::CurrentClock().MonotonicMs()));
    fraction = std::uniform_real_distribution<double>(0.0, 1.0)(generator);
  }
  port = NextDataPort(port, fraction);
  return port;
}

void DataConnection::SendPORTCommand() {
  opened_ = false;
  session_.SetFtpState(FtpStates::ftpEstablishingDataConnection);
  Guarded("SendPORTCommand", [&] {
    // Ports in use are skipped: their failure is recorded by the socket, and taken back here.
    const long error_before = RecordedErrorNumber();
    std::int32_t port = 0;
    trying_ports_ = true;
    for (int attempt = 0; attempt < kPortAttempts; ++attempt) {
      platform::ProcessPendingMessages();
      port = GetFreePort();
      if (socket_->State() != SocketState::kClosed) socket_->CloseSocket();
      ApplyBufferSizes();
      socket_->SetLocalPort(port);
      socket_->Listen();
      if (socket_->State() == SocketState::kListening) break;
      if (error_before == 0) ClearErrorRecord();
    }
    trying_ports_ = false;
    if (socket_->State() != SocketState::kListening) Raise(ErrorCode::kDataSocketError);
    session_.SendFtpCommand("PORT", PortArgument(session_.control_socket().LocalIP(), port));
  });
}

void DataConnection::EstablishPasvDataConnection(std::string_view reply_text) {
  opened_ = false;
  session_.SetFtpState(FtpStates::ftpEstablishingDataConnection);
  Guarded("EstablishPasvDataConnection", [&] {
    const std::optional<std::int32_t> port = PasvReplyPort(reply_text);
    if (!port)
      Raise(ErrorCode::kDataSocketError, "Unexpected passive reply: " + std::string(reply_text));
    // The announced address is ignored: a server behind NAT announces one the client cannot
    // reach, and the control connection's host is the server anyway.
    if (socket_->State() != SocketState::kClosed) socket_->CloseSocket();
    socket_->SetLocalPort(0);
    // The control connection's host was resolved when it connected: no lookup per file.
    socket_->SetRemoteHost(session_.control_socket().RemoteHost());
    socket_->SetRemotePort(*port);
    ApplyBufferSizes();
    session_.Log("PasvSktCONN.START");
    socket_->Connect();
    session_.SetFtpState(FtpStates::ftpDataConnectionEstablished);
  });
}

void DataConnection::ApplyBufferSizes() {
  // Fixed sizes turn the system's buffer autotuning off (a small send buffer caps a transfer at
  // one buffer per round trip), so they are handed over only when the host asked for them.
  const SessionSettings& settings = session_.settings();
  socket_->SetRcvbuf(settings.socket_buffers_set ? settings.rcvbuf : 0);
  socket_->SetSndbuf(settings.socket_buffers_set ? settings.sndbuf : 0);
}

void DataConnection::CloseDataConnection() {
  KeepArrivedDownloadData();
  opened_ = false;
  if (socket_->State() == SocketState::kClosed) return;
  if (socket_->SocketHandle() != platform::winsock::kInvalidSocket) {
    platform::winsock::Shutdown(socket_->SocketHandle(), platform::winsock::kSdBoth);
  }
  // A connected socket closes in order after the shutdown; the second call closes it at once.
  socket_->CloseSocket();
  if (socket_->State() != SocketState::kClosed) socket_->CloseSocket();
}

void DataConnection::OnConnectionRequest(std::int32_t request_id) {
  Guarded("OnConnectionRequest", [&] {
    if (socket_->State() != SocketState::kClosed) socket_->CloseSocket();
    socket_->Accept(request_id);
    if (socket_->State() != SocketState::kConnected) Raise(ErrorCode::kDataSocketError);
    opened_ = true;
  });
}

void DataConnection::KeepArrivedDownloadData() {
  if (keeping_data_ || session_.state().current_operation != Operation::kDownload ||
      socket_->State() != SocketState::kConnected) {
    return;
  }
  keeping_data_ = true;
  socket_->DeliverHeldData();
  keeping_data_ = false;
}

void DataConnection::OnConnect() {
  opened_ = true;
  session_.Log("PasvSktCONN.END" +
               std::to_string(static_cast<int>(session_.state().current_operation)));
  Guarded("OnConnect", [&] {
    if (DataTransferSink* sink = session_.transfer_sink()) sink->OnDataConnected();
  });
}

void DataConnection::OnDataArrival() {
  // Taken out of the member while in use: an arrival handled inside this one starts empty.
  std::vector<std::uint8_t> bytes = std::move(arrival_bytes_);
  bytes.clear();
  bytes.reserve(static_cast<std::size_t>(std::max(socket_->ReceiveSize(), 0)));
  socket_->GetData(bytes);
  Guarded("DataSocket_OnDataArrival", [&] {
    if (DataTransferSink* sink = session_.transfer_sink()) {
      sink->OnDataReceived(
          std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
  });
  arrival_bytes_ = std::move(bytes);
}

void DataConnection::OnSendComplete() {
  Guarded("DataSocket_OnSendComplete", [&] {
    if (DataTransferSink* sink = session_.transfer_sink()) sink->OnDataSendComplete();
  });
}

void DataConnection::OnClose() {
  Guarded("DataSocket_OnClose", [&] {
    if (DataTransferSink* sink = session_.transfer_sink()) sink->OnDataClosed();
  });
}

void DataConnection::OnError() {
  if (trying_ports_) return;
  std::int32_t number = socket_->m_lngEventErrorNumber;
  if (number < 1) number = ErrorCode::kDataSocketError;
  SetRecordedErrorNumber(number);
  session_.Log("m_objDataSocket_OnError:" +
               std::to_string(static_cast<int>(session_.state().current_operation)) + "#" +
               std::to_string(socket_->m_lngEventErrorNumber) + "|" +
               std::to_string(session_.ErrorNumber()) + "#" + session_.ErrorInfo());
  CloseDataConnection();
  if (DataTransferSink* sink = session_.transfer_sink()) {
    sink->CloseLocalFile();
    sink->OnDataAborted();
  }
  if (session_.state().current_operation != Operation::kNone) session_.EndAsyncMethod();
}

}  // namespace tarvik
