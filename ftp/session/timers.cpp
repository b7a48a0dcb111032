// The work of the keep-alive tick (the pending aborts of batch transfers join it with the batches)
// and the wait for the control connection before transfer steps.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "core/session/message_wait.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/session/ftp_session.h"
#include "platform/time/clock.h"

namespace tarvik {

void FtpSession::Timer1Tick() {
  EnsureSessionObjects();
  KeepAlive();
}

void FtpSession::KeepAlive() {
  if (settings_.keep_alive_interval <= 0 || settings_.keep_alive_command.empty() || !Connected()) {
    return;
  }
  const std::int64_t now = platform::CurrentClock().MonotonicMs();
  const std::int64_t silent_seconds = (now - state_.last_control_activity_ms) / 1000;
  if (silent_seconds <= settings_.keep_alive_interval) return;
  // A command sent while another waits for its reply would take that reply's place in the
  // server's answers (and some servers refuse it), so the keep-alive waits for a quiet moment.
  if (!state_.awaited_replies.empty()) return;
  state_.last_control_activity_ms = now;
  const bool sent = SendFtpCommand(settings_.keep_alive_command, kKeepAliveArgument);
  Log(sent ? "Keep Conn Success:" : "Keep Conn Failure:");
}

void FtpSession::CSSTimeout() {
  if (ErrorRecorded() || control_socket_->State() == SocketState::kConnected) return;
  if (control_socket_->State() == SocketState::kClosed) {
    SetRecordedErrorNumber(ErrorCode::kDataSocketConnectFailed);
    SetRecordedErrorDescription(GetErrorText(ErrorCode::kDataSocketConnectFailed));
    return;
  }
  // The limit has passed once the clock is beyond it.
  const std::int64_t deadline =
      platform::CurrentClock().MonotonicMs() + settings_.timeout_seconds * 1000 + 1;
  const bool connected = WaitForMessagesUntil(
      [this] { return ErrorRecorded() || control_socket_->State() == SocketState::kConnected; },
      deadline);
  if (connected) return;
  Log("CSSTimeout:" + std::to_string(static_cast<std::int32_t>(control_socket_->State())));
  DispatchError("CSSTimeout", ErrorCode::kDataSocketConnectFailed, "");
}

}  // namespace tarvik
