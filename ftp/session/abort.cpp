// Abort: stop the running operation (and, through AbortRequested, the running batch).
#include "core/errors/numbered_error.h"
#include "ftp/session/ftp_session.h"
#include "net/socket_support.h"

namespace tarvik {
namespace {

constexpr std::int64_t kAbortLimitSeconds = 30;

}  // namespace

bool FtpSession::Abort() {
  try {
    state_.retry_counter = settings_.redo_times;  // no further attempt of the current file
    if (!state_.abort_current_only) state_.abort_requested = true;
    switch (state_.current_operation) {
      case Operation::kConnect:
        MSocketSupport::State().ConnectPending = false;
        CloseControlSocket();
        break;
      case Operation::kDownload:
        data_.CloseDataConnection();
        if (transfer_sink_ != nullptr) transfer_sink_->CloseLocalFile();
        break;
      case Operation::kUpload:
        // The server is told with ABOR, and its answer is waited for, before the file is closed.
        data_.CloseDataConnection();
        BeginAsyncMethod(Operation::kAbort);
        if (SendFtpCommand("ABOR")) {
          WaitForOperation(Operation::kAbort, kAbortLimitSeconds);
          if (ErrorRecorded()) return false;
          if (transfer_sink_ != nullptr) transfer_sink_->CloseLocalFile();
        }
        break;
      case Operation::kListing:
        if (transfer_sink_ != nullptr) transfer_sink_->OnDataAborted();
        data_.CloseDataConnection();
        break;
      default:
        break;
    }
    EndAsyncMethod();
    return true;
  } catch (const NumberedError& error) {
    state_.abort_requested = false;
    ReportError("Abort", static_cast<std::int32_t>(error.number()), error.description());
    return false;
  }
}

void FtpSession::AbortCurrent() {
  state_.abort_current_only = true;
  Abort();
}

}  // namespace tarvik
