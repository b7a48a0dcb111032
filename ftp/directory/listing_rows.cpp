// Replies during a listing: TYPE -> PASV (or PORT) -> the list command -> the transfer-complete
// reply. The data connection carries the text (RunningListing).
#include "ftp/directory/listing_rows.h"

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/directory/running_listing.h"
#include "ftp/session/ftp_session.h"
#include "platform/text/ascii_text.h"

namespace tarvik {
namespace {

void SendType(FtpSession& session) {
  if (!session.SendFtpCommand("TYPE", session.data_connection().TransferTypeCode())) {
    session.EndAsyncMethod();
  }
}

void TypeAgain(FtpSession& session, const DispatchedReply&) {
  SendType(session);
}

void TypeAgainAfterDataFailure(FtpSession& session, const DispatchedReply&) {
  session.Log("EnumFiles can't open data connection--" + session.settings().remote_path);
  SendType(session);
}

void OpenDataConnection(FtpSession& session, const DispatchedReply&) {
  if (session.settings().passive) {
    if (!session.SendFtpCommand("PASV")) session.EndAsyncMethod();
  } else {
    session.data_connection().SendPORTCommand();
  }
}

void TypeRefused(FtpSession& session, const DispatchedReply& reply) {
  session.EndAsyncMethod();
  session.DispatchError("EnumFiles", ErrorCode::kFileUnavailable, GetResponseInfo(reply.text));
}

void SendListCommand(FtpSession& session, const DispatchedReply&) {
  if (RunningListing* listing = RunningListing::Of(session)) listing->SendListCommand();
}

void ConnectPassive(FtpSession& session, const DispatchedReply& reply) {
  session.data_connection().EstablishPasvDataConnection(reply.text);
}

// "226 Output truncated to 10000 matches": some servers cap LIST and say so only here.
bool SaysTruncated(std::string_view reply_text) {
  return platform::ToLowerAscii(reply_text).find("truncated") != std::string::npos;
}

void ListingComplete(FtpSession& session, const DispatchedReply& reply) {
  RunningListing* listing = RunningListing::Of(session);
  if (!listing) return;
  if (SaysTruncated(reply.text)) listing->MarkTruncated();
  // In active mode the close of the data connection ends the listing by itself.
  if (session.settings().passive) listing->ReplyReceived();
}

// A refused list command (a missing folder, a bad pattern): the listing yields nothing, and a
// single-file lookup reads the refusal as "no such file".
void ListRefused(FtpSession& session, const DispatchedReply& reply) {
  session.state().remote_size = -1;
  session.EndAsyncMethod();
  session.data_connection().CloseDataConnection();
  session.DispatchError("ListCommand", ReplyError(reply.code), GetResponseInfo(reply.text));
}

void ListFailed(FtpSession& session, const DispatchedReply& reply) {
  session.data_connection().CloseDataConnection();
  FailWithReply(reply);
}

}  // namespace

std::vector<DispatchRow> ListingRows() {
  constexpr Operation kListing = Operation::kListing;
  return {
      {kListing, "TYPE", {150}, TypeAgain},
      {kListing, "TYPE", {200}, OpenDataConnection},
      {kListing, "TYPE", {226, 257}, nullptr},
      {kListing, "TYPE", {425}, TypeAgainAfterDataFailure},
      {kListing, "TYPE", {550}, TypeRefused},
      {kListing, "PORT", {200}, SendListCommand},
      {kListing, "PORT", {257}, nullptr},
      {kListing, "PASV", {227}, ConnectPassive},
      {kListing, "PASV", {200, 257}, nullptr},
      {kListing, "LIST", {125, 150, 200, 257}, nullptr},
      {kListing, "LIST", {226, 250}, ListingComplete},
      {kListing, "LIST", {501, 550}, ListRefused},
      {kListing, "LIST", {}, ListFailed},
  };
}

}  // namespace tarvik
