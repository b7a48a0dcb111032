// What follows a failed attempt: another attempt after a countdown, resuming from what arrived,
// or the report of the error.
#include <algorithm>
#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"
#include "core/errors/message_table.h"
#include "core/session/message_wait.h"
#include "core/transfer/transfer_progress.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "platform/loop/winsock_errors.h"
#include "platform/text/ascii_text.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

// Errors another attempt would only repeat: a missing or too large file, a size that did not
// match, a refused file, a cancel, a refused connection.
constexpr long kNotRetried[] = {ErrorCode::kRemoteFileMissing,      ErrorCode::kSizeMismatch,
                                ErrorCode::kFileTooLarge,           ErrorCode::kFileUnavailable,
                                ErrorCode::kArgumentSyntaxError,    ErrorCode::kOperationCanceled,
                                platform::winsock::kWsaEConnRefused};
constexpr std::int16_t kResumeAll = 6;
constexpr std::int16_t kOverwriteAll = 3;
constexpr std::int64_t kStoreRestartDelayMs = 100;

std::string RetryText(std::int16_t attempt, std::int64_t seconds) {
  std::string text = MessageText(message_row::kRetransferAttempt);
  text.replace(text.find("{0}"), 3, std::to_string(attempt));
  text.replace(text.find("{1}"), 3, std::to_string(seconds));
  return text;
}

}  // namespace

bool TransferEngine::RetryAllowed(TransferDirection direction, long number,
                                  const std::string& info) const {
  if (session_.state().retry_counter >= session_.settings().redo_times) return false;
  if (std::find(std::begin(kNotRetried), std::end(kNotRetried), number) != std::end(kNotRetried)) {
    return false;
  }
  const std::string lower = platform::ToLowerAscii(info);
  if (direction == TransferDirection::kDownload) {
    return number != 501 && lower.find("not found") == std::string::npos &&
           lower.find("is invalid") == std::string::npos;
  }
  return lower.find("denied") == std::string::npos && lower.find("deny") == std::string::npos;
}

bool TransferEngine::WaitUntil(std::int64_t until) {
  const auto given_up = [this] {
    return session_.state().retry_counter >= session_.settings().redo_times;
  };
  WaitForMessagesUntil(given_up, until);
  return !given_up();
}

bool TransferEngine::AfterFailure(TransferDirection direction, long number, std::string description,
                                  bool resume_keeps_old_contents) {
  SessionState& state = session_.state();
  TransferStatistics& statistics = session_.statistics();
  const bool upload = direction == TransferDirection::kUpload;
  const char* procedure = upload ? "UpLoadOne" : "DownloadOne";
  const std::string info = description.empty() ? GetErrorText(number) : description;
  session_.data_connection().CloseDataConnection();
  // An attempt that ended on its own side (its data connection reset, a local write refused)
  // leaves the server's final reply due: it may never come, or come late and be taken for the
  // next command's. The session starts afresh instead; the next command logs in again.
  if (number != ErrorCode::kOperationCanceled && !state.awaited_replies.empty()) {
    session_.Log("TransferFailed.ReplyDue");
    session_.DropControlSocket();
  }

  // A server that refuses STOR with 421 or 550 gets the file once more from the start.
  if (upload &&
      (number == ErrorCode::kServiceNotAvailable || number == ErrorCode::kFileUnavailable) &&
      state.last_command == "STOR" && store_restarts_ < 1) {
    ++store_restarts_;
    if (state.current_operation != Operation::kNone) session_.EndAsyncMethod();
    session_.Log("Upload ReSTOR " + std::to_string(number - ErrorCode::kReplyErrorBase) + "|" +
                 std::to_string(store_restarts_) + "--" + info + "  ");
    WaitUntil(platform::CurrentClock().MonotonicMs() + kStoreRestartDelayMs);
    return UploadOne();
  }
  store_restarts_ = 0;

  if (!RetryAllowed(direction, number, info)) {
    state.retry_counter = 1;
    session_.ReportError(procedure, static_cast<std::int32_t>(number), info);
    MarkFileEnd(statistics);
    session_.RaiseTransfer();
    return false;
  }
  if (number == ErrorCode::kNotLoggedIn) session_.CloseConnect(false);
  session_.ReportError(procedure, static_cast<std::int32_t>(number), info);
  for (std::int64_t i = 0; i < retry_countdown_seconds; ++i) {
    // The second starts when it is shown: a host's handler sees the whole of it.
    const std::int64_t until = platform::CurrentClock().MonotonicMs() + 1000;
    statistics.transfer_state =
        info + " [" + RetryText(state.retry_counter, retry_countdown_seconds - i) + "]";
    SetRecordedErrorDescription(statistics.transfer_state);
    session_.RaiseTransfer();
    if (!WaitUntil(until)) {
      MarkFileEnd(statistics);
      return false;
    }
  }
  statistics.transfer_state = MessageText(message_row::kRetransferWait);
  state.message_info = statistics.transfer_state;
  state.message_type = MessageTypes::FTP_SERVER_BAD_RESPONSE;
  session_.RaiseServerMessage();
  session_.RaiseTransfer();
  if (upload && number == ErrorCode::kNoSocket) session_.ReConnect();
  ++state.retry_counter;
  // The next attempt continues from what arrived; a file that was to be replaced and received
  // nothing yet still holds its old contents, so it is replaced again instead.
  TransferSettings& options = session_.transfer_settings();
  const std::int16_t saved = options.replace_code;
  const bool saved_overwrite = options.overwrite;
  options.replace_code = resume_keeps_old_contents ? kOverwriteAll : kResumeAll;
  const bool result = TransferOne(direction);
  options.replace_code = saved;
  options.overwrite = saved_overwrite;
  return result;
}

}  // namespace tarvik
