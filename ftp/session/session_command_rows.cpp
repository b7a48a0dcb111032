// Replies to the session's own commands: PWD (operation 2), QUIT (11), ABOR (13) and raw
// commands (14, and 15 for the command probe).
#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/session/dispatch_table.h"
#include "ftp/session/ftp_session.h"

namespace tarvik {
namespace {

void CurrentDirectory(FtpSession& session, const DispatchedReply& reply) {
  if (!session.GetDirFromResponse(reply.text)) {
    Raise(ErrorCode::kNoCurrentDirectory, GetResponseInfo(reply.text));
  }
  session.EndAsyncMethod();
}

void QuitAccepted(FtpSession& session, const DispatchedReply&) {
  session.EndAsyncMethod();
  session.CloseControlSocket();
}

void AbortAccepted(FtpSession& session, const DispatchedReply&) {
  session.data_connection().CloseDataConnection();
  session.EndAsyncMethod();
}

// The command's own reply, whole. A preliminary reply (1xx) is kept and its final reply waited
// for (RFC 959, 4.2: "the user-process should wait for the final reply").
void RawReply(FtpSession& session, const DispatchedReply& reply) {
  session.state().command_reply += reply.text;
  if (reply.code < 200) return;
  session.EndAsyncMethod();
}

}  // namespace

std::vector<DispatchRow> SessionCommandRows() {
  return {
      {Operation::kGetCurrentDirectory, kAnyCommand, {226}, nullptr},
      {Operation::kGetCurrentDirectory, kAnyCommand, {257}, CurrentDirectory},
      {Operation::kQuit, "QUIT", {220, 221, 225, 226}, QuitAccepted},
      {Operation::kQuit, "QUIT", {200, 257}, nullptr},
      {Operation::kAbort, "ABOR", {150, 220, 225, 226, 426}, AbortAccepted},
      {Operation::kAbort, "ABOR", {257}, nullptr},
      {Operation::kRawCommand, kAnyCommand, {}, RawReply},
      {Operation::kCommandTest, kAnyCommand, {}, RawReply},
  };
}

}  // namespace tarvik
