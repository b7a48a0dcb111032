// Connect: open the control connection, log in, probe what the server supports.
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/session/ftp_session.h"
#include "net/socket_support.h"
#include "platform/loop/message_loop.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {
constexpr std::int16_t kConnectRetryLimit = 2;
constexpr std::int32_t kControlSocketBuffer = 102'400;
constexpr std::int32_t kMaxSegmentSize = 1460;
constexpr std::int32_t kDefaultRcvbuf = 1'027'840;
constexpr std::int32_t kDefaultSndbuf = 14'600;
constexpr std::string_view kAnonymousPassword = "guest@tarvik.invalid";
constexpr std::string_view kMlstProbe = "MLST QZWCMDTST.TMP";

}  // namespace

bool FtpSession::Connect() {
  ContainerWindow() = host_.ContainerWindowFromSite();
  state_.fallback_error = {};
  control_socket_->m_lngEventErrorNumber = 0;
  data_.socket().m_lngEventErrorNumber = 0;
  TakeInIdleNotifications();
  if (Connected()) return true;
  if (probing_after_login_) {
    // A probe of the running login found the connection gone. Logging in again from inside the
    // login would repeat the same probes without end: the login fails with this instead.
    DispatchError("Connect", ErrorCode::kConnectionInterrupted, "");
    return false;
  }
  if (!reconnect_in_progress_ && RefuseWhileBusy()) return false;

  EnsureSessionObjects();
  if (!state_.first_connect_done) {
    state_.first_connect_done = true;
    Log("-------------------TarvikFtp ActiveX Control V" + std::string(kLibraryVersion) +
        "---------------");
  }
  ClearErrorRecord();
  if (settings_.server_name.find(':') != std::string::npos) {
    DispatchError("Connect", ErrorCode::kInvalidFtpHost, MessageText(message_row::kInvalidFtpHost));
    return false;
  }
  host_.SetTimersEnabled(true);
  if (MSocketSupport::State().ConnectPending) {
    DispatchError("Connect", ErrorCode::kConnectInProgress, "");
    return false;
  }
  SetFtpState(FtpStates::ftpConnecting);
  state_.last_command.clear();
  if (platform::Trim(settings_.username, platform::kSpaces).empty()) {
    settings_.username = "anonymous";
    settings_.password = kAnonymousPassword;
  }
  if (settings_.rcvbuf <= 0) settings_.rcvbuf = kDefaultRcvbuf;
  if (settings_.sndbuf <= 0) settings_.sndbuf = kDefaultSndbuf;
  Log("MS" + std::to_string(kMaxSegmentSize) + "010" + std::to_string(settings_.sndbuf) + "010" +
      std::to_string(settings_.rcvbuf));
  // The connect-pending rule looks at the event before each notification; an event left over
  // from an earlier connection (any socket of the thread) must not count against this one.
  MSocketSupport::State().ConnectPending = true;
  MSocketSupport::State().LastSocketEvent = 0;
  state_.abort_requested = false;
  BeginAsyncMethod(Operation::kConnect);

  bool result = false;
  try {
    result = ConnectAndLogIn();
  } catch (const NumberedError& error) {
    MSocketSupport::State().ConnectPending = false;
    state_.connect_retry_count = 0;
    ReportError("Connect", static_cast<std::int32_t>(error.number()), error.description());
    return false;
  }
  state_.connect_retry_count = 0;
  if (settings_.list_working_dir) state_.list_with_asterisk = false;
  return result;
}

bool FtpSession::ConnectAndLogIn() {
  // A socket left over from an earlier attempt (closing, or failed) is dropped first, and with
  // it whatever that connection still owed.
  DropControlSocket();
  login_reached_ = false;
  reply_framer_.Clear();
  state_.awaited_replies.clear();
  control_socket_->SetRemoteHost(settings_.server_name);
  control_socket_->SetRemotePort(settings_.port);
  control_socket_->SetRcvbuf(kControlSocketBuffer);
  control_socket_->SetSndbuf(kControlSocketBuffer);
  control_socket_->Connect();

  bool logged_in_by_retry = false;
  WaitForOperation(Operation::kConnect, settings_.timeout_seconds, false, [&] {
    if (control_socket_->State() != SocketState::kError) return;
    ++state_.connect_retry_count;
    Log("Connect Re " + std::to_string(state_.connect_retry_count));
    if (state_.connect_retry_count >= kConnectRetryLimit) Raise(ErrorCode::kConnectNoResponse);
    logged_in_by_retry = ReConnect();
  });
  MSocketSupport::State().ConnectPending = false;

  if (logged_in_by_retry) return Connected();
  if (!ErrorRecorded() && control_socket_->State() == SocketState::kConnected) {
    AfterLogin();
    return true;
  }
  if (!ErrorRecorded()) {
    Log("Connect.Error:" + std::to_string(ErrorCode::kConnectNoResponse));
    Raise(ErrorCode::kConnectNoResponse);
  }
  return false;
}

void FtpSession::AfterLogin() {
  login_reached_ = true;
  probing_after_login_ = true;
  struct EndOfProbes {
    bool& probing;
    ~EndOfProbes() { probing = false; }
  } end_of_probes{probing_after_login_};
  ProbeAfterLogin();
}

void FtpSession::ProbeAfterLogin() {
  state_.logged_in = true;
  state_.current_directory = "/";
  if (state_.server_is_pure) {
    // This server family mishandles commands that arrive while a transfer runs.
    settings_.keep_alive_command.clear();
    state_.list_dir_for_file = true;
    Log("ListDirForFile");
  }
  if (!transfer_settings_.list_suffix_set && state_.server_is_typsoft) {
    state_.list_with_asterisk = true;
    Log("ListWithAsterisk");
  }
  if (settings_.list_command != "LIST") {
    const std::string probe =
        settings_.list_command == "MLSD" ? std::string(kMlstProbe) : settings_.list_command;
    const bool supported = IsFTPCmdExist(probe);
    FailLoginWhenProbeBrokeConnection();
    if (!supported) {
      Log(settings_.list_command + "DONOTSUPPORT.");
      settings_.list_command = "LIST";
    }
  }
  if (!settings_.keep_alive_command.empty() && settings_.keep_alive_interval > 0 &&
      settings_.keep_alive_command != "PWD") {
    const bool supported = IsFTPCmdExist(settings_.keep_alive_command);
    FailLoginWhenProbeBrokeConnection();
    if (!supported) {
      Log(settings_.keep_alive_command + "DONOTSUPPORT.");
      settings_.keep_alive_interval = 0;
      settings_.keep_alive_command.clear();
    }
  }
  state_.encoding_undecided = false;
  if (settings_.auto_encoding) {
    settings_.utf8 = false;
    // Asked as a probe, like the others of the login: not shown to the host as its command.
    const std::string features = SendCommand("FEAT", kCommandTestArgument);
    FailLoginWhenProbeBrokeConnection();
    std::size_t start = 0;
    while (start <= features.size()) {
      std::size_t end = features.find("\r\n", start);
      if (end == std::string::npos) end = features.size();
      if (platform::ToUpperAscii(
              platform::Trim(features.substr(start, end - start), platform::kSpaces)) == "UTF8") {
        settings_.utf8 = true;
      }
      start = end + 2;
    }
    // Some servers speak UTF-8 without listing it; their names tell (see DecodeServerText).
    state_.encoding_undecided = !settings_.utf8;
  }
  state_.home_directory = GetCurrentDirectory();
  FailLoginWhenProbeBrokeConnection();
  Log("CMD.LST:" + settings_.list_command + ";KAL:" + settings_.keep_alive_command +
      ";KAI:" + std::to_string(settings_.keep_alive_interval) + ";RDIR:" + state_.home_directory +
      ";PSV:" + (settings_.passive ? "True" : "False"));
}

void FtpSession::FailLoginWhenProbeBrokeConnection() {
  // The probe failed because the connection was lost, or its reply never ended (the reply
  // stream is unusable after it): the login fails with the probe's error, and the connection is
  // given up without a QUIT, which would only wait behind an unfinished reply. A connection the
  // server closes after a probe that succeeded is met by the next command, as after any call.
  std::int32_t number = RecordedErrorNumber();
  if (number == 0) return;
  if (control_socket_->State() == SocketState::kConnected && number != ErrorCode::kTimedOut) return;
  std::string description = RecordedErrorDescription();
  if (number == ErrorCode::kNoSocket) {
    // A command that found no socket to send on: the connection was lost before it.
    number = ErrorCode::kConnectionInterrupted;
    description.clear();
  }
  DropControlSocket();
  SetFtpState(FtpStates::ftpClosed, false);
  Raise(number, description);
}

void FtpSession::TakeInIdleNotifications() {
  // Only between operations: inside one, the running exchange is already reading the socket, and
  // pumping here would dispatch its replies from within a row.
  if (state_.current_operation != Operation::kNone || reconnect_in_progress_) return;
  if (control_socket_->State() != SocketState::kConnected) return;
  // A peer's close is reported after the data before it, each in a pass of its own.
  constexpr int kPasses = 3;
  for (int pass = 0; pass < kPasses && control_socket_->State() == SocketState::kConnected;
       ++pass) {
    if (!platform::WaitForMessage(0)) return;
    platform::ProcessPendingMessages();
  }
}

bool FtpSession::IsFTPCmdExist(std::string_view command_line) {
  // SendCommand reports its own failures; its failure text says "command not understood".
  const std::string reply = SendCommand(command_line, kCommandTestArgument);
  bool supported =
      platform::ToLowerAscii(reply).find("command not understood") == std::string::npos;
  // Servers word the refusal of an unknown command in their own way ("500 Unknown command."),
  // but its codes are fixed: 500 unrecognised, 502 not implemented.
  const int code = GetResponseCode(reply);
  if (code == 500 || code == 502) supported = false;
  if (supported && command_line.size() > 3 && command_line.starts_with("MLST") &&
      reply.starts_with("451")) {
    supported = false;
  }
  Log("CMDTST:" + std::string(command_line) + "#" + reply);
  return supported;
}

bool FtpSession::ReConnect() {
  Log("ReConnect:buffer=" + std::to_string(static_cast<long long>(data_.socket().m_lngBufferLen)) +
      " [" + settings_.local_path + "]|[" + settings_.remote_path + "]");
  data_.socket().m_lngBufferLen = 0;
  MSocketSupport::State().ConnectPending = false;
  CloseConnect(false);
  const bool nested = reconnect_in_progress_;
  reconnect_in_progress_ = true;
  const bool up = Connect();
  reconnect_in_progress_ = nested;
  return up;
}

}  // namespace tarvik
