#include "ftp/transfer/transfer_rows.h"

#include <string>

#include "ftp/control_connection/reply_parser.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"

namespace tarvik {
namespace {

void SendType(FtpSession& session) {
  if (!session.SendFtpCommand("TYPE", session.data_connection().TransferTypeCode())) {
    session.EndAsyncMethod();
  }
}

void OpenDataPath(FtpSession& session) {
  if (session.settings().passive) {
    if (!session.SendFtpCommand("PASV")) session.EndAsyncMethod();
  } else {
    session.data_connection().SendPORTCommand();
  }
}

void OpenDataPathRow(FtpSession& session, const DispatchedReply&) {
  OpenDataPath(session);
}

void OpenFileThenDataPath(FtpSession& session, const DispatchedReply&) {
  RunningTransfer* transfer = RunningTransfer::Of(session);
  if (transfer != nullptr && transfer->OpenLocalFile()) OpenDataPath(session);
}

void TypeAgainAfterDataFailure(FtpSession& session, const DispatchedReply&) {
  session.Log("UpLoadOne can't open data connection--" + session.settings().remote_path + "--" +
              session.settings().local_path);
  SendType(session);
}

void TypeRefused(FtpSession& session, const DispatchedReply& reply) {
  session.Log("UpLoadOne Type 550--" + reply.text + "--");
  FailWithReply(reply);
}

void StartTransfer(FtpSession& session, const DispatchedReply&) {
  if (RunningTransfer* transfer = RunningTransfer::Of(session)) transfer->StartTransferCommand();
}

void SendRetrieveOrStore(FtpSession& session, const DispatchedReply&) {
  if (RunningTransfer* transfer = RunningTransfer::Of(session)) transfer->SendRetrieveOrStore();
}

void ConnectPassive(FtpSession& session, const DispatchedReply& reply) {
  session.data_connection().EstablishPasvDataConnection(reply.text);
}

void PassiveAgain(FtpSession& session, const DispatchedReply&) {
  if (!session.SendFtpCommand("PASV")) session.EndAsyncMethod();
}

void PortRefused(FtpSession& session, const DispatchedReply& reply) {
  session.data_connection().socket().CloseSocket();
  FailWithReply(reply);
}

void DownloadReplyReceived(FtpSession& session, const DispatchedReply&) {
  if (RunningTransfer* transfer = RunningTransfer::Of(session)) transfer->DownloadReplyReceived();
}

void DownloadRefused(FtpSession& session, const DispatchedReply& reply) {
  session.data_connection().CloseDataConnection();
  if (DataTransferSink* sink = session.transfer_sink()) sink->CloseLocalFile();
  FailWithReply(reply);
}

void StoreAccepted(FtpSession& session, const DispatchedReply&) {
  if (RunningTransfer* transfer = RunningTransfer::Of(session)) transfer->StoreAccepted();
}

void KeepAliveReplyDuringStore(FtpSession& session, const DispatchedReply& reply) {
  session.Log("STOR.KA." + std::to_string(reply.code));
}

void UploadStored(FtpSession& session, const DispatchedReply&) {
  session.EndAsyncMethod();
}

void UploadRefused(FtpSession& session, const DispatchedReply& reply) {
  if (DataTransferSink* sink = session.transfer_sink()) sink->CloseLocalFile();
  FailWithReply(reply);
}

}  // namespace

std::vector<DispatchRow> TransferRows() {
  constexpr Operation kDown = Operation::kDownload;
  constexpr Operation kUp = Operation::kUpload;
  return {
      {kDown, "TYPE", {200}, OpenDataPathRow},
      {kDown, "TYPE", {226, 257}, nullptr},
      {kDown, "PORT", {200}, StartTransfer},
      {kDown, "PORT", {257}, nullptr},
      {kDown, "PORT", {}, PortRefused},
      {kDown, "PASV", {227}, ConnectPassive},
      {kDown, "PASV", {200, 257}, nullptr},
      {kDown, "REST", {350}, SendRetrieveOrStore},
      {kDown, "REST", {200, 257}, nullptr},
      {kDown, "RETR", {110, 125, 150, 200, 257}, nullptr},
      {kDown, "RETR", {226, 250}, DownloadReplyReceived},
      {kDown, "RETR", {}, DownloadRefused},

      {kUp, "TYPE", {200}, OpenFileThenDataPath},
      {kUp, "TYPE", {150, 226, 227, 257}, nullptr},
      {kUp, "TYPE", {425}, TypeAgainAfterDataFailure},
      {kUp, "TYPE", {550}, TypeRefused},
      {kUp, "PORT", {200}, StartTransfer},
      {kUp, "PORT", {257}, nullptr},
      {kUp, "PORT", {}, PortRefused},
      {kUp, "REST", {350}, SendRetrieveOrStore},
      {kUp, "REST", {200, 257}, nullptr},
      {kUp, "PASV", {200}, PassiveAgain},
      {kUp, "PASV", {227}, ConnectPassive},
      {kUp, "PASV", {257}, nullptr},
      {kUp, "STOR", {110, 125, 150}, StoreAccepted},
      {kUp, "STOR", {200, 257}, KeepAliveReplyDuringStore},
      {kUp, "STOR", {226, 250}, UploadStored},
      {kUp, "STOR", {}, UploadRefused},
  };
}

}  // namespace tarvik
