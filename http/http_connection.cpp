// The notifications of m_objHttpSocket: the request once connected (through a proxy's tunnel and
// TLS where the address asks for them), the arrivals, the close, and CloseHttpConnection.
#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "core/session/operation_core.h"
#include "http/http_download.h"
#include "http/http_headers.h"
#include "http/http_request.h"
#include "net/csocket.h"
#include "platform/time/clock.h"
#include "platform/tls/tls_client.h"

namespace tarvik {

template <typename Body>
void HttpDownload::Guarded(const char* source, Body&& body) {
  try {
    body();
  } catch (const NumberedError& error) {
    session_.ReportError(source, static_cast<std::int32_t>(error.number()), error.description());
  }
}

void HttpDownload::OnSocketConnect() {
  Guarded("m_objHttpSocket_OnConnect", [&] {
    FileState& file = file_state_;
    if (file.via_proxy && file.address.secure) {
      file.tunnel_pending = true;
      const std::string connect = BuildConnectRequest(file.address);
      SendBytes(std::vector<std::uint8_t>(connect.begin(), connect.end()));
      return;
    }
    if (file.address.secure) StartTls();
    SendRequest();
  });
}

void HttpDownload::StartTls() {
  tls_ = std::make_unique<platform::tls::TlsClient>(file_state_.address.host);
  if (tls_->Failed()) Raise(ErrorCode::kTlsFailed, tls_->Error());
  SendTlsOutput();
}

void HttpDownload::SendRequest() {
  FileState& file = file_state_;
  const std::int64_t range_from = file.resuming ? file.bytes_received : 0;
  // Inside a tunnel the proxy only relays: the server gets the path, as on a direct connection.
  const bool to_proxy = file.via_proxy && !file.address.secure;
  const std::string request = BuildGetRequest(file.address, range_from, to_proxy);
  if (tls_) {
    if (!tls_->Write(request)) Raise(ErrorCode::kTlsFailed, tls_->Error());
    SendTlsOutput();
  } else {
    SendBytes(std::vector<std::uint8_t>(request.begin(), request.end()));
  }
  file.stage = 1;
  session_.statistics().start_tick_ms = platform::CurrentClock().MonotonicMs();
}

void HttpDownload::SendBytes(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty() || !socket_) return;
  socket_->SendData(std::span<const std::uint8_t>(bytes), static_cast<double>(bytes.size()), false);
}

void HttpDownload::SendTlsOutput() {
  SendBytes(tls_->TakeOutgoing());
}

void HttpDownload::OnSocketDataArrival() {
  Guarded("m_objHttpSocket_OnDataArrival", [&] {
    if (!socket_ || session_.state().current_operation != Operation::kDownload) return;
    // A vector as large as one receive trades storage with the socket instead of a copy.
    if (arrival_.capacity() < static_cast<std::size_t>(socket_->ReceiveSize())) {
      arrival_.reserve(static_cast<std::size_t>(socket_->ReceiveSize()));
    }
    socket_->GetData(arrival_);
    session_.statistics().last_data_tick_ms = platform::CurrentClock().MonotonicMs();
    if (file_state_.tunnel_pending) {
      TakeTunnelAnswer(arrival_);
      return;
    }
    if (!tls_) {
      TakeResponse(arrival_);
      return;
    }
    const bool fed = tls_->Feed(arrival_.data(), arrival_.size());
    SendTlsOutput();
    if (!fed) Raise(ErrorCode::kTlsFailed, tls_->Error());
    if (!tls_->Plain().empty()) TakeResponse(tls_->Plain());
  });
}

void HttpDownload::TakeTunnelAnswer(std::span<const std::uint8_t> bytes) {
  if (!header_reader_.Take(bytes)) return;
  const StatusLine status = GetStatusLine(header_reader_.Header());
  if (status.code != 200) {
    Raise(ErrorCode::kHttpStatusBase + status.code,
          "The proxy refused the tunnel to " + HostWithPort(file_state_.address) + ": " +
              std::to_string(status.code) + " " + status.reason);
  }
  file_state_.tunnel_pending = false;
  const std::vector<std::uint8_t> rest(header_reader_.BodyStart().begin(),
                                       header_reader_.BodyStart().end());
  header_reader_.Reset();
  StartTls();
  SendRequest();
  if (!rest.empty()) {
    if (!tls_->Feed(rest.data(), rest.size())) Raise(ErrorCode::kTlsFailed, tls_->Error());
    SendTlsOutput();
  }
}

void HttpDownload::OnSocketClose() {
  Guarded("m_objHttpSocket_OnClose", [&] {
    if (session_.state().current_operation != Operation::kDownload) return;
    if (file_state_.holding_html) ReleaseHtml();
    if (session_.state().current_operation == Operation::kDownload) session_.EndAsyncMethod();
  });
}

void HttpDownload::OnSocketError() {
  CloseHttpConnection();
}

void HttpDownload::CloseHttpConnection() {
  file_.Close();
  DropSocket();
}

void HttpDownload::DropSocket() {
  tls_.reset();
  if (!socket_) return;
  // Closing a connected socket only starts an orderly close; the second call ends it at once.
  for (int attempt = 0; attempt < 2 && socket_->State() != SocketState::kClosed; ++attempt) {
    socket_->CloseSocket();
  }
}

}  // namespace tarvik
