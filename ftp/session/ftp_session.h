// The FTP session of one control: the control connection, the login, commands and their replies,
// keep-alive, abort, and the data connection, carried out as operations of the control's
// OperationCore (core/session/operation_core.h: state, figures, events, errors, the wait). The
// control owns one session and reaches the host through SessionHost.
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

#include "core/session/operation_core.h"
#include "ftp/control_connection/reply_framer.h"
#include "ftp/data_connection/data_connection.h"
#include "ftp/directory/remote_folder_state.h"
#include "net/csocket.h"

namespace tarvik {

class FtpSession final : public OperationCore {
 public:
  explicit FtpSession(SessionHost& host);
  ~FtpSession();
  FtpSession(const FtpSession&) = delete;
  FtpSession& operator=(const FtpSession&) = delete;

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

  // ---- Lifecycle and timers, driven by the control ----
  void EnsureSessionObjects();
  // The termination steps: abort and quit a connected session, close the control socket, release
  // the sockets. Each step runs even when the one before failed.
  void Terminate();
  // Every 2000 ms while enabled: the keep-alive command after KeepAliveInterval seconds of
  // silence on the control connection.
  void Timer1Tick();

  // ---- Used by the reply dispatch rows, the data connection, listings and transfers ----
  // Sends a command on the control connection, reconnecting first when it is down. False when
  // the line could not be handed to the socket (the error is recorded).
  bool SendFtpCommand(std::string_view verb, std::string_view argument = {});
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

  // ---- The frame of the methods that run one operation ----
  // Connect, refuse when busy, mark the operation, send, wait, report under `procedure`.
  bool RunOperation(Operation operation, std::string_view verb, std::string_view argument,
                    std::string_view procedure);
  // WaitForOperation with Timeout, failing when the control connection dies meanwhile.
  void WaitForReply(Operation operation);

  // State of listings and remote operations that lives as long as the session.
  RemoteFolderState& remote_folders() { return remote_folders_; }

 private:
  void OnOperationEnding() override;
  void OnOperationFailed(Operation running) override;
  void OnWaitExpired() override;

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

  std::shared_ptr<CSocket> control_socket_;  // m_objControlSocket, "[Ctrl]"
  ReplyFramer reply_framer_;                 // control bytes not yet part of a whole reply
  DataConnection data_;  // m_objDataSocket, "[Data]", and the data-connection steps
  RemoteFolderState remote_folders_;
  bool reconnect_in_progress_ = false;  // ReConnect's Connect may run inside an operation
  bool probing_after_login_ = false;    // the login's probes run: Connect may not log in again
  bool login_reached_ = false;          // the latest login attempt got as far as its probes
};

}  // namespace tarvik
