// The control socket's notifications. Data arrival reads the reply, reports it to the host and
// hands complete replies to the dispatch table (ftp/session/dispatch_table.h); failures end the
// running operation with the server's own words.
#include <string>
#include <vector>

#include "control/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/control_connection/text_encoding.h"
#include "ftp/session/dispatch_table.h"
#include "ftp/session/error_record_access.h"
#include "ftp/session/ftp_session.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

constexpr std::int32_t kUnexpectedError = 16012;
constexpr std::int32_t kCanceled = 16010;
constexpr std::int32_t kConnectionInterrupted = 16011;
constexpr std::int32_t kNoSocket = 40006;
// A reply this long without a final line is no FTP reply: the framing is lost and the
// connection is given up rather than collecting without bound.
constexpr std::size_t kMaxReplyBytes = 1 << 20;

bool IsTransferOperation(Operation operation) {
  return operation == Operation::kDownload || operation == Operation::kUpload ||
         operation == Operation::kListing;
}

}  // namespace

void FtpSession::OnControlDataArrival() {
  state_.last_control_activity_ms = platform::CurrentClock().MonotonicMs();
  // No operation waits: leave the bytes to the socket, whose next receive replaces them (a
  // server's idle notice or a late keep-alive reply changes nothing).
  if (state_.current_operation == Operation::kNone) return;
  ReplyDispatch();
}

void FtpSession::ReplyDispatch() {
  std::string arrived;
  try {
    std::vector<std::uint8_t> bytes;
    control_socket_->GetData(bytes);
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    arrived = std::string(StripBlanks(DecodeReceived(raw, settings_.utf8)));
    state_.last_reply = arrived;
    state_.reply_buffer += arrived;
    if (state_.reply_buffer.size() > kMaxReplyBytes) {
      Log("ReplyTooLong:" + std::to_string(state_.reply_buffer.size()));
      state_.reply_buffer.clear();
      CloseControlSocket();
      Raise(kUnexpectedError, "Reply too long");
    }
    // An incomplete reply waits for the next arrival, which comes as its own notification. No
    // messages are pumped here: a nested dispatch of that arrival would handle this reply twice.
    const int code = GetResponseCode(state_.reply_buffer);
    if (code == 0) return;

    state_.message_info = arrived.size() >= 2 ? arrived.substr(0, arrived.size() - 2) : arrived;
    if (state_.current_operation != Operation::kCommandTest) {
      state_.message_type =
          code > 399 ? MessageTypes::FTP_SERVER_BAD_RESPONSE : MessageTypes::FTP_SERVER_RESPONSE;
      host_.RaiseServerMessage();
    }
    DispatchReply(*this, state_.current_operation, state_.last_command,
                  DispatchedReply{code, arrived});
  } catch (const NumberedError& error) {
    HandleDispatchFailure(static_cast<std::int32_t>(error.number()), error.description(), arrived);
  }
}

void FtpSession::HandleDispatchFailure(std::int32_t number, std::string description,
                                       const std::string& arrived) {
  const Operation operation = state_.current_operation;
  Log("ControlSocket_OnDataArrival" + std::to_string(static_cast<int>(operation)) + "|" +
      state_.last_command + "=" + std::to_string(number) + "--" + GetResponseInfo(arrived) + "  ");
  SetRecordedErrorNumber(number);
  if (number < 16001 || number > 16999) {
    DispatchError("ControlSocket_OnDataArrival", number, description);
  } else if (!arrived.empty()) {
    if (number != kCanceled) {
      const std::string server_line = GetResponseInfo(arrived);
      if (!server_line.empty()) description = server_line;
    }
    SetRecordedErrorDescription(description);
  }
  if (!IsTransferOperation(operation)) {
    ReportError("ControlSocket_OnDataArrival", number, description);
  }
  EndAsyncMethod();
  if (transfer_sink_ != nullptr) transfer_sink_->CloseLocalFile();
  data_.CloseDataConnection();
  if (ToLowerAscii(description).find("another command is currently pending") != std::string::npos) {
    settings_.keep_alive_interval = 0;
    Log("DISKEEPCONN#" + description);
    if (settings_.redo_times < 1) settings_.redo_times = 2;
  }
}

void FtpSession::OnControlConnect() {
  SetFtpState(FtpStates::ftpConnected);
}

void FtpSession::OnControlClose() {
  const Operation operation = state_.current_operation;
  if (operation != Operation::kNone) {
    // The server went away in the middle of an exchange: the waiting method must not take the
    // silence for success. QUIT expects exactly this.
    if (operation != Operation::kQuit && !ErrorRecorded()) {
      DispatchError("ControlSocket_OnClose", kConnectionInterrupted, "");
    }
    EndAsyncMethod();
  }
  SetFtpState(FtpStates::ftpClosed);
}

void FtpSession::OnControlError() {
  const std::int32_t number = RecordedErrorNumber();
  state_.fallback_error.number = number;
  Log("m_objControlSocket_OnError" + std::to_string(static_cast<int>(state_.current_operation)) +
      "|" + std::to_string(number) + "#" + ErrorInfo());
  EndAsyncMethod();
  if (number != kNoSocket) CloseConnect(false);
}

}  // namespace tarvik
