// The FTP session of one control: the control connection, the login, commands and their replies,
// the waits of the blocking methods, keep-alive, abort, and the data connection. The control owns
// one session and reaches the host through SessionHost.
//
// A blocking method is the asynchronous machine plus a wait: it marks its operation
// (BeginAsyncMethod), sends the first command, and waits, pumping the thread's messages, until the
// reply dispatcher ends the operation (EndAsyncMethod) or records an error, or the time-out
// passes. While it waits, these run and may re-enter the session:
//   - control-socket notifications: the reply dispatcher (sends the next command of an exchange,
//     ends the operation), connect, close and error handlers;
//   - data-socket notifications (the running listing or transfer, through its DataTransferSink);
//   - the control's timers: the keep-alive tick (Timer1Tick sends the keep-alive command, whose
//     reply the dispatcher absorbs);
//   - the host's handlers of OnStateChange and OnServerMessage (raised on every state change,
//     command and reply), which may read properties, call Abort/AbortCurrent, or start another
//     method (refused with 16009 while an operation runs).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "ftp/control_connection/reply_framer.h"
#include "ftp/data_connection/data_connection.h"
#include "ftp/data_connection/data_transfer_sink.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/session/ftp_states.h"
#include "ftp/session/session_host.h"
#include "ftp/session/session_state.h"
#include "net/csocket.h"

namespace tarvik {

class FtpSession {
 public:
  explicit FtpSession(SessionHost& host);
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

  SessionSettings& settings() { return settings_; }
  const SessionSettings& settings() const { return settings_; }
  TransferSettings& transfer_settings() { return transfer_settings_; }
  const TransferSettings& transfer_settings() const { return transfer_settings_; }
  SessionState& state() { return state_; }
  const SessionState& state() const { return state_; }
  TransferStatistics& statistics() { return statistics_; }
  const TransferStatistics& statistics() const { return statistics_; }
  DataConnection& data_connection() { return data_; }

  // ---- Public methods of the control (each catches its own failures) ----
  bool Connect();
  bool Disconnect();
  std::string SendCommand(std::string_view ftp_cmd, std::string_view arguments);
  std::string GetCurrentDirectory();
  bool Abort();
  void AbortCurrent();

  // ---- Observable state ----
  // The control socket is connected and a login has succeeded.
  bool Connected() const;
  // The error record's number, else the fallback number (20061 reads as 10061).
  std::int32_t ErrorNumber() const;
  // The error record's text, else the fallback text, else the table text of ErrorNumber.
  std::string ErrorInfo() const;

  // ---- Lifecycle and timers, driven by the control ----
  void EnsureSessionObjects();
  // The termination steps: abort and quit a connected session, close the control socket, release
  // the sockets. Each step runs even when the one before failed.
  void Terminate();
  // Every 2000 ms while enabled: the keep-alive command after KeepAliveInterval seconds of
  // silence on the control connection.
  void Timer1Tick();

  // ---- Used by the reply dispatch rows, the data connection, listings and transfers ----
  // Raises OnTransfer (for the transfers; the control drops it without a container window).
  void RaiseTransfer() { host_.RaiseTransfer(); }
  // Raises OnServerMessage (MessageInfo and MessageType are set by the caller).
  void RaiseServerMessage() { host_.RaiseServerMessage(); }
  // The one place where FtpState changes; traces old -> new and raises OnStateChange if asked.
  void SetFtpState(FtpStates state, bool raise_event = true);
  void BeginAsyncMethod(Operation operation);
  void EndAsyncMethod();
  // Sends a command on the control connection, reconnecting first when it is down. False when
  // the line could not be handed to the socket (the error is recorded).
  bool SendFtpCommand(std::string_view verb, std::string_view argument = {});
  // The control-level report of a failure of `procedure` (ends the running operation).
  void ReportError(std::string_view procedure, std::int32_t number, std::string description,
                   bool show = false);
  // The module-level report: records the error without ending the operation.
  void DispatchError(std::string_view source, std::int32_t number, std::string_view text);
  bool ErrorRecorded() const;
  bool CloseConnect(bool reset_statistics);
  bool ReConnect();
  bool Quit();
  // Text the server sent (a reply, a listing) in the session's encoding. With Encoding=AUTO and
  // a FEAT that did not list UTF8, the first text that is not plain ASCII decides: valid UTF-8
  // switches the session to UTF-8, anything else keeps the ANSI code page.
  std::string DecodeServerText(std::string_view bytes);
  // Stores the directory quoted in a PWD reply as the tracked current directory.
  bool GetDirFromResponse(std::string_view reply);
  // Waits until the control connection is connected (before a transfer step); records 20061
  // when it is closed or does not connect within Timeout.
  void CSSTimeout();
  // Closes the control socket: in order when connected (the peer's close follows), else at once.
  void CloseControlSocket();
  // Closes the control socket at once, whatever its state.
  void DropControlSocket();
  CSocket& control_socket() { return *control_socket_; }
  // The running listing or transfer (nullptr when none); it gets the data socket's events.
  void SetTransferSink(DataTransferSink* sink) { transfer_sink_ = sink; }
  DataTransferSink* transfer_sink() const { return transfer_sink_; }
  void Log(std::string_view line) const;

  // ---- The frame of the methods that run one operation ----
  // Connect, refuse when busy, mark the operation, send, wait, report under `procedure`.
  bool RunOperation(Operation operation, std::string_view verb, std::string_view argument,
                    std::string_view procedure);
  // WaitForOperation with Timeout, failing when the control connection dies meanwhile.
  void WaitForReply(Operation operation);
  // True (with 16009 in the fallback fields) when an operation is running.
  bool RefuseWhileBusy();

  // State of listings and remote operations that lives as long as the session.
  RemoteFolderState& remote_folders() { return remote_folders_; }

 private:
  // Notifications of the control socket.
  void OnControlError();
  void OnControlClose();
  void OnControlConnect();
  void OnControlDataArrival();

  void ReplyDispatch();
  // One complete reply: pairs it with its command, shows it, and hands it to the running
  // operation's rows unless its command's operation is gone.
  void HandleReply(const FramedReply& framed);
  // The replies still awaited are no longer waited for by anyone (their operation ended).
  void AbandonAwaitedReplies();
  // Before a member uses an idle connection: takes in what the peer sent meanwhile, so that a
  // connection the peer closed reads as closed.
  void TakeInIdleNotifications();
  void HandleDispatchFailure(std::int32_t number, std::string description,
                             const std::string& arrived);
  // Waits while the operation runs and no error is recorded. `limit_seconds` of the clock; on
  // expiry raises 20004, or ends the operation quietly when `quiet_expiry`. `each_step` runs
  // before each wait.
  void WaitForOperation(Operation operation, std::int64_t limit_seconds, bool quiet_expiry = false,
                        const std::function<void()>& each_step = {});
  bool ConnectAndLogIn();
  // The steps after the login reply: server quirks, the command probes, the encoding and the
  // home folder. A probe that breaks the connection fails the login with its error.
  void AfterLogin();
  void ProbeAfterLogin();
  // When the probe just run failed because the connection was lost or its reply never ended:
  // drops the connection and raises the probe's error (16011 for a command that found no socket).
  void FailLoginWhenProbeBrokeConnection();
  bool IsFTPCmdExist(std::string_view command_line);
  // After a raw folder change: the tracked working folder read back from the server (PWD).
  void ReadBackFolder();
  void ResetStatistics();
  void KeepAlive();

  SessionHost& host_;
  SessionSettings settings_;
  TransferSettings transfer_settings_;
  SessionState state_;
  TransferStatistics statistics_;
  std::shared_ptr<CSocket> control_socket_;  // m_objControlSocket, "[Ctrl]"
  ReplyFramer reply_framer_;                 // control bytes not yet part of a whole reply
  DataConnection data_;  // m_objDataSocket, "[Data]", and the data-connection steps
  DataTransferSink* transfer_sink_ = nullptr;
  RemoteFolderState remote_folders_;
  bool reconnect_in_progress_ = false;  // ReConnect's Connect may run inside an operation
  bool probing_after_login_ = false;    // the login's probes run: Connect may not log in again
  bool login_reached_ = false;          // the latest login attempt got as far as its probes
};

// The container window recorded at the latest Connect on this thread (0: none). Progress events
// are raised only while it is non-zero.
std::uintptr_t& ContainerWindow();

}  // namespace tarvik
