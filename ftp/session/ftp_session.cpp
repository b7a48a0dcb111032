#include "ftp/session/ftp_session.h"

#include <string>

#include "core/errors/error_record.h"
#include "core/errors/error_record_access.h"
#include "platform/time/clock.h"

namespace tarvik {

FtpSession::FtpSession(SessionHost& host)
    : OperationCore(host), control_socket_(CSocket::Create()), data_(*this) {
  control_socket_->OnError = [this] { OnControlError(); };
  control_socket_->OnClose = [this] { OnControlClose(); };
  control_socket_->OnConnect = [this] { OnControlConnect(); };
  control_socket_->OnDataArrival = [this](double) { OnControlDataArrival(); };
}

FtpSession::~FtpSession() {
  // A socket kept alive by a notification in progress must not call back into a session that
  // is gone.
  control_socket_->OnError = nullptr;
  control_socket_->OnClose = nullptr;
  control_socket_->OnConnect = nullptr;
  control_socket_->OnDataArrival = nullptr;
}

void FtpSession::OnOperationEnding() {
  data_.KeepArrivedDownloadData();
  // Replies still due belong to the operation that ends here, never to the next one.
  AbandonAwaitedReplies();
}

void FtpSession::OnOperationFailed(Operation running) {
  if (running == Operation::kConnect) CloseControlSocket();
}

void FtpSession::OnWaitExpired() {
  // A server silent past the limit may never answer: its commands are no longer counted, so
  // that the next command's reply pairs with that command (a reply that still comes late would
  // pass for it; the session cannot tell the two apart).
  state_.awaited_replies.clear();
}

void FtpSession::EnsureSessionObjects() {
  control_socket_->m_strType = "[Ctrl]";
  data_.socket().m_strType = "[Data]";
  EnsureErrorRecord();
}

bool FtpSession::Connected() const {
  return control_socket_->State() == SocketState::kConnected && state_.logged_in;
}

void FtpSession::CloseControlSocket() {
  if (control_socket_->State() != SocketState::kClosed) control_socket_->CloseSocket();
}

void FtpSession::DropControlSocket() {
  // Closing a connected socket only starts an orderly close; the second call ends it at once.
  CloseControlSocket();
  CloseControlSocket();
}

void FtpSession::Terminate() {
  // Each step runs even when the one before failed; none of them throws (the public members
  // catch their own failures).
  if (Connected()) {
    Abort();
    Quit();
    EndAsyncMethod();
    CloseControlSocket();
    SetFtpState(FtpStates::ftpClosed, false);
  }
  data_.CloseDataConnection();
  DropControlSocket();
}

bool FtpSession::GetDirFromResponse(std::string_view reply) {
  state_.current_directory.clear();
  if (reply.size() < 7) return false;
  const std::size_t first = reply.find('"');
  if (first != std::string_view::npos) {
    const std::size_t second = reply.find('"', first + 1);
    if (second != std::string_view::npos) {
      std::string directory(reply.substr(first + 1, second - first - 1));
      for (char& c : directory) {
        if (c == '\\') c = '/';
      }
      state_.current_directory = directory;
    }
  }
  return true;
}

}  // namespace tarvik
