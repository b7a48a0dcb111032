#include "ftp/directory/running_listing.h"

#include "ftp/control_connection/text_encoding.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"

namespace tarvik {

RunningListing::RunningListing(FtpSession& session, std::string list_argument,
                               bool single_file_query, std::size_t max_bytes)
    : session_(session),
      previous_sink_(session.transfer_sink()),
      list_argument_(std::move(list_argument)),
      single_file_query_(single_file_query),
      max_bytes_(max_bytes) {
  session_.SetTransferSink(this);
}

RunningListing::~RunningListing() {
  session_.SetTransferSink(previous_sink_);
}

RunningListing* RunningListing::Of(FtpSession& session) {
  return dynamic_cast<RunningListing*>(session.transfer_sink());
}

void RunningListing::SendListCommand() {
  std::string argument = list_argument_;
  if (single_file_query_ && session_.state().list_dir_for_file) {
    // Some servers list a single file badly: list its folder and pick the file out.
    argument = FormatFtpPath(GetParentPath(list_argument_));
    if (session_.state().list_with_asterisk) {
      if (argument.empty() || argument.back() != '/') argument += '/';
      argument += '*';
    }
  }
  if (!session_.SendFtpCommand("LIST", argument)) session_.EndAsyncMethod();
}

void RunningListing::ReplyReceived() {
  reply_received_ = true;
  EndWhenComplete();
}

void RunningListing::OnDataConnected() {
  SendListCommand();
}

void RunningListing::OnDataReceived(std::string_view bytes) {
  if (too_large_) return;
  if (bytes.size() > max_bytes_ - received_.size()) {
    too_large_ = true;
    received_ = std::string();
    if (session_.state().current_operation == Operation::kListing) session_.EndAsyncMethod();
    return;
  }
  received_ += bytes;
}

std::string RunningListing::TakeText() {
  const std::string received = std::move(received_);
  received_ = std::string();
  return session_.DecodeServerText(received);
}

void RunningListing::OnDataClosed() {
  if (!session_.settings().passive) {
    session_.EndAsyncMethod();
    return;
  }
  data_closed_ = true;
  EndWhenComplete();
}

void RunningListing::EndWhenComplete() {
  if (reply_received_ && data_closed_ &&
      session_.state().current_operation == Operation::kListing) {
    session_.EndAsyncMethod();
  }
}

}  // namespace tarvik
