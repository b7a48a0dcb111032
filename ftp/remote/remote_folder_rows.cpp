// Replies to CWD, MKD, RMD, RNFR/RNTO, DELE and SIZE. An operation ends successfully when its row
// ends it without recording an error; codes no row lists fail it with the server's own line.
#include "ftp/remote/remote_folder_rows.h"

#include "core/errors/error_code.h"
#include "core/errors/numbered_error.h"
#include "ftp/control_connection/command_line.h"
#include "ftp/control_connection/reply_parser.h"
#include "ftp/directory/remote_folder_state.h"
#include "ftp/listing/listing_text.h"
#include "ftp/session/ftp_session.h"
#include "local/path_rules.h"
#include "platform/text/ascii_text.h"
#include "platform/text/case_fold.h"

namespace tarvik {
namespace {
constexpr std::string_view kDefaultExistingWords = "exists|can't|cannot|不能";

void End(FtpSession& session, const DispatchedReply&) {
  session.EndAsyncMethod();
}

void MkdRefused(FtpSession& session, const DispatchedReply& reply) {
  if (MkdRefusalMeansExisting(reply.text, session.settings().mkd_info)) {
    // Some servers use the same words for "no permission": CreateDirectory looks again.
    RemoteFolderState& folders = session.remote_folders();
    folders.mkd_existing_code = reply.code;
    folders.mkd_existing_reply = GetResponseInfo(reply.text);
  } else {
    session.DispatchError("istCreateDirectory", ReplyError(reply.code),
                          GetResponseInfo(reply.text));
  }
  session.EndAsyncMethod();
}

void SendRnto(FtpSession& session, const DispatchedReply&) {
  if (!session.SendFtpCommand("RNTO", session.remote_folders().rename_target)) {
    session.EndAsyncMethod();
  }
}

// A file that is already gone counts as deleted.
void DeleteOther(FtpSession& session, const DispatchedReply& reply) {
  const std::string lower = platform::FoldCase(reply.text);
  if (lower.find("cannot find") != std::string::npos ||
      lower.find("successful") != std::string::npos) {
    session.EndAsyncMethod();
    return;
  }
  FailWithReply(reply);
}

void SendSize(FtpSession& session) {
  if (!session.SendFtpCommand("SIZE", session.remote_folders().size_path)) session.EndAsyncMethod();
}

// A keep-alive reply arrived in place of the size: ask again.
void SizeAgain(FtpSession& session, const DispatchedReply&) {
  SendSize(session);
}

// "213 1024": the number after the code, on the first line that begins with "213".
void SizeReceived(FtpSession& session, const DispatchedReply& reply) {
  std::string_view rest = reply.text;
  while (!rest.empty() && !rest.starts_with("213")) {
    const std::size_t next = rest.find("\r\n");
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 2);
  }
  const std::size_t end = rest.find("\r\n");
  const std::string_view number = rest.substr(3, end == std::string_view::npos ? end : end - 3);
  const std::optional<double> size =
      listing_text::ParseNumber(platform::Trim(number, platform::kSpaces));
  if (!size || *size < 0) {
    session.state().remote_size = -2;
    FailWithReply(reply);
  }
  session.state().remote_size = *size;
  session.EndAsyncMethod();
}

void SizeRefused(FtpSession& session, const DispatchedReply& reply) {
  if (platform::ToUpperAscii(reply.text).starts_with("500 'NOOPSIZE")) {
    SendSize(session);
    return;
  }
  session.state().remote_size = -2;
  Raise(ErrorCode::kCommandUnrecognized, GetResponseInfo(reply.text));
}

void SizeMissing(FtpSession& session, const DispatchedReply& reply) {
  session.state().remote_size = -1;
  session.EndAsyncMethod();
  session.DispatchError("GetFileSize", ErrorCode::kFileUnavailable, GetResponseInfo(reply.text));
}

void SizeFailed(FtpSession& session, const DispatchedReply& reply) {
  session.state().remote_size = -2;
  FailWithReply(reply);
}

}  // namespace

bool MkdRefusalMeansExisting(std::string_view reply_text, std::string_view mkd_info) {
  std::string words;
  if (mkd_info.starts_with("#")) {
    words = mkd_info.substr(1);
  } else {
    words = std::string(kDefaultExistingWords) + "|" + std::string(mkd_info);
  }
  words = platform::FoldCase(words);
  const std::string text = platform::FoldCase(reply_text);
  std::size_t start = 0;
  while (start <= words.size()) {
    std::size_t bar = words.find('|', start);
    if (bar == std::string::npos) bar = words.size();
    const std::string_view word = std::string_view(words).substr(start, bar - start);
    if (!platform::Trim(word, platform::kSpaces).empty() && text.find(word) != std::string::npos)
      return true;
    start = bar + 1;
  }
  return false;
}

std::vector<DispatchRow> RemoteFolderRows() {
  using enum Operation;
  return {
      {kSetCurrentDirectory, kAnyCommand, {250}, End},
      {kSetCurrentDirectory, kAnyCommand, {226, 257}, nullptr},
      {kRemoveDirectory, kAnyCommand, {250}, End},
      {kRemoveDirectory, kAnyCommand, {226, 257}, nullptr},
      {kCreateDirectory, kAnyCommand, {226, 257, 250}, End},
      {kCreateDirectory, kAnyCommand, {521, 550}, MkdRefused},
      {kRename, "RNFR", {350}, SendRnto},
      {kRename, "RNFR", {226, 257}, nullptr},
      {kRename, "RNTO", {250}, End},
      {kDelete, kAnyCommand, {250}, End},
      {kDelete, kAnyCommand, {226, 257}, nullptr},
      {kDelete, kAnyCommand, {}, DeleteOther},
      {kFileSize, kAnyCommand, {150, 200}, SizeAgain},
      {kFileSize, kAnyCommand, {213}, SizeReceived},
      {kFileSize, kAnyCommand, {226, 257}, nullptr},
      {kFileSize, kAnyCommand, {500}, SizeRefused},
      {kFileSize, kAnyCommand, {550}, SizeMissing},
      {kFileSize, kAnyCommand, {}, SizeFailed},
  };
}

}  // namespace tarvik
