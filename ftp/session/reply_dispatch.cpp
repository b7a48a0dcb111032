// The control socket's notifications. Data arrival frames the bytes into whole replies
// (ftp/control_connection/reply_framer.h), pairs each with the command it answers, reports it to
// the host and hands it to the dispatch table (ftp/session/dispatch_table.h); failures end the
// running operation with the server's own words.
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/control_connection/text_encoding.h"
#include "ftp/session/dispatch_table.h"
#include "ftp/session/ftp_session.h"
#include "platform/text/ascii_text.h"
#include "platform/text/code_page.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {
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
  ReplyDispatch();
}

void FtpSession::ReplyDispatch() {
  // Read even while no operation waits: a late reply (of a keep-alive, of a command that timed
  // out) must be taken in, or it would pass for the answer to the next command. No messages are
  // pumped here: a nested dispatch would hand the same reply out twice.
  std::vector<std::uint8_t> bytes;
  control_socket_->GetData(bytes);
  reply_framer_.Add(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  if (reply_framer_.PendingSize() > kMaxReplyBytes) {
    Log("ReplyTooLong:" + std::to_string(reply_framer_.PendingSize()));
    reply_framer_.Clear();
    CloseControlSocket();
    HandleDispatchFailure(ErrorCode::kUnexpectedError, "Reply too long", "");
    return;
  }
  // Each whole reply in turn; an incomplete last line waits for the next arrival.
  while (std::optional<FramedReply> reply = reply_framer_.Next()) {
    try {
      HandleReply(*reply);
    } catch (const NumberedError& error) {
      HandleDispatchFailure(static_cast<std::int32_t>(error.number()), error.description(),
                            DecodeReceived(reply->text, settings_.utf8));
    }
  }
}

std::string FtpSession::DecodeServerText(std::string_view bytes) {
  if (state_.encoding_undecided &&
      std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; })) {
    state_.encoding_undecided = false;
    settings_.utf8 = platform::IsValidUtf8(bytes.substr(0, bytes.find('\0')));
    Log(settings_.utf8 ? "Encoding:UTF-8 by content" : "Encoding:ANSI by content");
  }
  return DecodeReceived(bytes, settings_.utf8);
}

void FtpSession::HandleReply(const FramedReply& framed) {
  const std::string text = DecodeServerText(framed.text);
  // A preliminary reply (1xx) announces its command's final reply; only a final one (2xx-5xx)
  // answers the oldest awaited command. A reply while none is awaited (the greeting, a notice
  // that the server closes) goes to the running operation.
  AwaitedReply owner;
  if (!state_.awaited_replies.empty()) {
    owner = state_.awaited_replies.front();
    if (framed.code >= 200) state_.awaited_replies.pop_front();
  }
  if (owner.shown && framed.code != 0) {
    state_.message_info = text.substr(0, text.size() - 2);
    state_.message_type = framed.code > 399 ? MessageTypes::FTP_SERVER_BAD_RESPONSE
                                            : MessageTypes::FTP_SERVER_RESPONSE;
    host_.RaiseServerMessage();
  }
  const Operation operation = state_.current_operation;
  if (!owner.owned || operation == Operation::kNone) {
    Log("ReplyNotAwaited:" + text);
    return;
  }
  if (framed.code == 0) {
    // A greeting that is no FTP reply: the peer speaks another protocol and will not log in.
    if (operation == Operation::kConnect && state_.last_command.empty()) {
      const std::string line = text.substr(0, text.find("\r\n"));
      Raise(ErrorCode::kNotAnFtpServer,
            GetErrorText(ErrorCode::kNotAnFtpServer) + ": \"" + line + "\"");
    }
    Log("NoReplyLine:" + text);
    return;
  }
  DispatchReply(*this, operation, state_.last_command, DispatchedReply{framed.code, text});
}

void FtpSession::AbandonAwaitedReplies() {
  for (AwaitedReply& awaited : state_.awaited_replies) awaited.owned = false;
}

void FtpSession::HandleDispatchFailure(std::int32_t number, std::string description,
                                       const std::string& arrived) {
  const Operation operation = state_.current_operation;
  Log("ControlSocket_OnDataArrival" + std::to_string(static_cast<int>(operation)) + "|" +
      state_.last_command + "=" + std::to_string(number) + "--" + GetResponseInfo(arrived) + "  ");
  SetRecordedErrorNumber(number);
  if (!IsReplyError(number)) {
    DispatchError("ControlSocket_OnDataArrival", number, description);
  } else if (!arrived.empty()) {
    if (number != ErrorCode::kOperationCanceled) {
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
  if (platform::ToLowerAscii(description).find("another command is currently pending") !=
      std::string::npos) {
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
    // silence for success (QUIT expects exactly this). A close during the login is a refused
    // connection.
    if (operation != Operation::kQuit && !ErrorRecorded()) {
      DispatchError("ControlSocket_OnClose",
                    operation == Operation::kConnect ? ErrorCode::kConnectNoResponse
                                                     : ErrorCode::kConnectionInterrupted,
                    "");
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
  if (number != ErrorCode::kNoSocket) CloseConnect(false);
}

}  // namespace tarvik
