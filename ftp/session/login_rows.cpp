// The login exchange (RFC 959, 5.4): greeting 220 -> USER -> 331 -> PASS -> 230 (or 202), or a
// USER answered 230 at once. Any unexpected reply closes the connection before the failure.
#include "core/errors/error_code.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/session/dispatch_table.h"
#include "ftp/session/ftp_session.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

void Greeting(FtpSession& session, const DispatchedReply& reply) {
  session.Log("FTPSVR:" + reply.text);
  const std::string lowered = platform::ToLowerAscii(reply.text);
  session.state().server_is_pure = lowered.find("pure") != std::string::npos;
  session.state().server_is_typsoft = lowered.find("typsoft") != std::string::npos;
  session.SendFtpCommand("USER", session.settings().username);
}

void LateGreetingLine(FtpSession& session, const DispatchedReply& reply) {
  session.Log("USER:" + reply.text);
}

void SendPassword(FtpSession& session, const DispatchedReply&) {
  session.SendFtpCommand("PASS", session.settings().password);
}

void LoggedInByUser(FtpSession& session, const DispatchedReply&) {
  session.SetFtpState(FtpStates::ftpUserLoggedIn);
  session.EndAsyncMethod();
}

void LoggedInByPassword(FtpSession& session, const DispatchedReply&) {
  session.SetFtpState(FtpStates::ftpUserLoggedIn, false);
  session.EndAsyncMethod();
}

void Refused(FtpSession& session, const DispatchedReply& reply) {
  session.CloseConnect(false);
  FailWithReply(reply);
}

void CurrentDirectoryDuringLogin(FtpSession& session, const DispatchedReply& reply) {
  if (session.GetDirFromResponse(reply.text)) {
    session.EndAsyncMethod();
    return;
  }
  session.DispatchError("OnDataArrival", ErrorCode::kNoCurrentDirectory,
                        "Cannot retrieve the current directory path. Unexpected server response.");
  session.CloseConnect(false);
}

}  // namespace

std::vector<DispatchRow> LoginRows() {
  constexpr Operation kConnect = Operation::kConnect;
  return {
      {kConnect, "", {220, 221}, Greeting},
      {kConnect, "", {226, 257}, nullptr},
      {kConnect, "", {}, Refused},
      {kConnect, "USER", {220}, LateGreetingLine},
      {kConnect, "USER", {230}, LoggedInByUser},
      {kConnect, "USER", {257}, nullptr},
      {kConnect, "USER", {331}, SendPassword},
      {kConnect, "USER", {}, Refused},
      {kConnect, "PASS", {202, 230}, LoggedInByPassword},
      {kConnect, "PASS", {257}, nullptr},
      {kConnect, "PASS", {}, Refused},
      {kConnect, "PWD", {257}, CurrentDirectoryDuringLogin},
      {kConnect, "PWD", {}, Refused},
  };
}

}  // namespace tarvik
