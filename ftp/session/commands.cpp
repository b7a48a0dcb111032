// Sending commands, and the frame of the methods that run one command and wait for its reply.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/session/ftp_session.h"
#include "ftp/session/scrambled_text.h"
#include "platform/loop/message_loop.h"
#include "platform/text/ascii_text.h"
#include "platform/text/code_page.h"

namespace tarvik {
namespace {
constexpr std::uint32_t kReconnectPauseMs = 1000;

// A CR, LF or NUL inside a command would end the line early and smuggle a second command in.
bool HoldsLineBreak(const PreparedCommand& command) {
  const std::string_view body(command.line.data(), command.line.size() - 2);
  return body.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// Raw commands that move the server to another working folder.
bool ChangesFolder(std::string_view ftp_cmd) {
  const std::string verb = CommandVerb(ftp_cmd);
  return verb == "CWD" || verb == "CDUP" || verb == "XCWD" || verb == "XCUP";
}

std::string DecodeCredential(std::string_view scrambled) {
  return platform::AnsiToUtf8(DecodeScrambledAnsi(scrambled));
}

}  // namespace

bool FtpSession::SendFtpCommand(std::string_view verb, std::string_view argument) {
  bool reconnected = false;
  try {
    if (control_socket_->State() != SocketState::kConnected) {
      Log("ReConnect SendFtpCommand=" + std::string(verb));
      state_.reconnecting = true;
      state_.saved_operation = state_.current_operation;
      reconnected = true;
      // Further attempts are for a server that could not be reached; one that let the login in
      // and then lost the connection again would only do the same once more.
      bool up = ReConnect();
      if (!up && !login_reached_) {
        platform::Sleep(kReconnectPauseMs);
        up = ReConnect();
      }
      if (!up && !login_reached_) {
        Log("ReConnect1 SendFtpCommand=" + std::string(verb));
        platform::Sleep(kReconnectPauseMs);
        up = ReConnect();
      }
      state_.reconnecting = false;
      state_.current_operation = state_.saved_operation;
      reconnected = false;
      if (!up) {
        const std::int32_t number = RecordedErrorNumber();
        Raise(number != 0 ? number : ErrorCode::kFailedToConnect, RecordedErrorDescription());
      }
    }

    // A raw command's result is its own reply: not that of a login run by the reconnect above.
    if (state_.current_operation == Operation::kRawCommand ||
        state_.current_operation == Operation::kCommandTest) {
      state_.command_reply.clear();
    }
    CommandRules rules;
    if (settings_.scrambled_credentials) rules.decode_credential = DecodeCredential;
    rules.list_command = settings_.list_command;
    rules.list_all = settings_.list_all;
    const PreparedCommand command = PrepareCommand(verb, argument, rules);
    if (HoldsLineBreak(command)) Raise(ErrorCode::kArgumentSyntaxError);

    SetFtpState(StateForCommand(command.verb, state_.current_operation));
    if (command.sets_last_command) state_.last_command = command.verb;
    if (command.verb == "LIST") Log("CMD:" + command.line);

    // The command is awaited before it goes out: sending a LIST in active mode pumps messages
    // while the server connects back, and its replies may be handled before SendData returns.
    // Such a command is also shown first, so that the host sees it before its replies.
    const bool send_pumps = command.verb == "LIST" && !settings_.passive;
    const bool shown = state_.current_operation != Operation::kCommandTest;
    const auto show = [&] {
      state_.message_info = command.message;
      state_.message_type = MessageTypes::FTP_USER_COMMAND;
      host_.RaiseServerMessage();
    };
    const std::size_t awaited_before = state_.awaited_replies.size();
    state_.awaited_replies.push_back({.owned = argument != kKeepAliveArgument, .shown = shown});
    if (shown && send_pumps) show();

    // The socket converts the line itself (UTF-8 or the ANSI code page) and reports a failure
    // through the error record.
    const std::int32_t error_before = RecordedErrorNumber();
    double length = static_cast<double>(platform::Utf8ToAnsi(command.line).size());
    control_socket_->SendData(command.line, length, send_pumps, settings_.utf8);
    const std::int32_t error_after = RecordedErrorNumber();
    if (error_after != 0 && error_after != error_before) {
      // Nothing went out: no reply will come for it.
      if (state_.awaited_replies.size() > awaited_before) state_.awaited_replies.pop_back();
      Raise(error_after, RecordedErrorDescription());
    }
    if (shown && !send_pumps) show();
    return true;
  } catch (const NumberedError& error) {
    if (reconnected) {
      state_.reconnecting = false;
      state_.current_operation = state_.saved_operation;
    }
    DispatchError("SendFtpCommand", static_cast<std::int32_t>(error.number()), error.description());
    return false;
  }
}

void FtpSession::WaitForReply(Operation operation) {
  WaitForOperation(operation, settings_.timeout_seconds, false, [this] {
    // A connection reset mid-reply ends without any notification: look at the socket itself.
    const SocketState socket_state = control_socket_->State();
    if (socket_state != SocketState::kClosed && socket_state != SocketState::kError) return;
    const std::int32_t event_error = control_socket_->m_lngEventErrorNumber;
    Raise(event_error > 0 ? event_error : ErrorCode::kConnectionInterrupted);
  });
}

bool FtpSession::RunOperation(Operation operation, std::string_view verb, std::string_view argument,
                              std::string_view procedure) {
  state_.fallback_error = {};
  try {
    if (!Connect()) return false;
    if (RefuseWhileBusy()) return false;
    BeginAsyncMethod(operation);
    if (!SendFtpCommand(verb, argument)) {
      EndAsyncMethod();
      return false;
    }
    WaitForReply(operation);
    return !ErrorRecorded();
  } catch (const NumberedError& error) {
    ReportError(procedure, static_cast<std::int32_t>(error.number()), error.description());
    return false;
  }
}

std::string FtpSession::SendCommand(std::string_view ftp_cmd, std::string_view arguments) {
  state_.fallback_error = {};
  state_.command_reply.clear();
  try {
    if (Connect()) {
      if (RefuseWhileBusy()) {
        return "SendCommand:command not understood;" + std::to_string(ErrorNumber()) + "#" +
               ErrorInfo();
      }
      const Operation operation =
          arguments == kCommandTestArgument ? Operation::kCommandTest : Operation::kRawCommand;
      BeginAsyncMethod(operation);
      if (!SendFtpCommand(ftp_cmd, arguments)) {
        const std::int32_t number = RecordedErrorNumber();
        Raise(number != 0 ? number : ErrorCode::kConnectionInterrupted, RecordedErrorDescription());
      }
      WaitForReply(operation);
      if (ErrorRecorded()) {
        return "SendCommand:command not understood;" + std::to_string(ErrorNumber()) + "#" +
               ErrorInfo();
      }
      // A raw command the server refuses is a failure of the method, with the server's words.
      const int code = GetResponseCode(state_.command_reply);
      if (operation == Operation::kRawCommand && code > 399) {
        Raise(ReplyError(code), GetResponseInfo(state_.command_reply));
      }
      if (operation == Operation::kRawCommand && ChangesFolder(ftp_cmd)) ReadBackFolder();
    }
    return state_.command_reply;
  } catch (const NumberedError& error) {
    ReportError("SendCommand", static_cast<std::int32_t>(error.number()), error.description());
    return "SendCommand:command not understood;" + std::to_string(error.number()) + "#" +
           (error.description().empty() ? ErrorInfo() : error.description());
  }
}

void FtpSession::ReadBackFolder() {
  // The server names the folder it moved to; the raw command's reply stays the method's result.
  const std::string reply = state_.command_reply;
  if (!RunOperation(Operation::kGetCurrentDirectory, "PWD", "", "SendCommand")) {
    Log("ReadBackFolder failed:" + std::to_string(ErrorNumber()));
  }
  state_.command_reply = reply;
}

std::string FtpSession::GetCurrentDirectory() {
  if (!RunOperation(Operation::kGetCurrentDirectory, "PWD", "", "GetCurrentDirectory")) return {};
  return std::string(platform::Trim(state_.current_directory, platform::kSpaces));
}

}  // namespace tarvik
