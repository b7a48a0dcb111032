// The wait of a single-file transfer and the watchdog that ends a transfer gone silent.
#include "core/errors/error_code.h"
#include "core/session/message_wait.h"
#include "ftp/session/ftp_session.h"
#include "ftp/transfer/running_transfer.h"
#include "ftp/transfer/transfer_engine.h"
#include "platform/time/clock.h"

namespace tarvik {
namespace {

// How long the final reply may take once every byte has moved.
constexpr std::int64_t kDownloadEndWaitMs = 10'100;
constexpr std::int64_t kUploadEndWaitMs = 20'100;

Operation OperationOf(const RunningTransfer& transfer) {
  return transfer.plan().direction == TransferDirection::kDownload ? Operation::kDownload
                                                                   : Operation::kUpload;
}

bool EveryByteMoved(const RunningTransfer& transfer) {
  const TransferPlan& plan = transfer.plan();
  const bool counted =
      plan.direction == TransferDirection::kUpload || (!plan.size_unknown && !plan.ascii_mode);
  return counted && transfer.bytes_done() >= plan.expected_size;
}

}  // namespace

void TransferEngine::WaitForTransfer(RunningTransfer& transfer) {
  const Operation operation = OperationOf(transfer);
  SessionState& state = session_.state();
  platform::Clock& clock = platform::CurrentClock();
  const auto running = [&] {
    return !session_.ErrorRecorded() &&
           (state.current_operation == operation || state.reconnecting);
  };
  WaitForMessagesUntil([&] {
    if (!running()) return true;
    TimeouterTick();
    // Once every byte moved, a reset that follows only costs the wait for the server's word below.
    if (!EveryByteMoved(transfer)) NoticeResetConnections();
    return !running() || EveryByteMoved(transfer);
  });
  if (!running()) return;

  const bool download = operation == Operation::kDownload;
  session_.Log(download ? "Download:Exit Do.Start" : "Upload:Exit Do.Start");
  // A control connection reset meanwhile will never bring the reply.
  WaitForMessagesUntil(
      [&] { return !running() || session_.control_socket().State() == SocketState::kError; },
      clock.MonotonicMs() + (download ? kDownloadEndWaitMs : kUploadEndWaitMs));
  const bool still_running = running();
  session_.Log(std::string(download ? "Download:Exit Do." : "Upload:Exit Do.") +
               (still_running ? "True" : "False"));
  if (still_running) {
    // Every byte moved but the server never confirmed: start the session afresh, so that its
    // late reply is not taken for the reply of the next command. A download has every byte
    // here; an upload without the server's 226 may not have been stored, so it fails (and its
    // retry resumes from what the server holds).
    session_.EndAsyncMethod();
    session_.CloseConnect(false);
    session_.Connect();
    if (!download) session_.DispatchError("Upload:Exit Do", ErrorCode::kTimedOut, "");
  }
}

void TransferEngine::NoticeResetConnections() {
  if (session_.state().reconnecting) return;
  const char* source = session_.state().current_operation == Operation::kUpload
                           ? "Upload:ConnectionLost"
                           : "Download:ConnectionLost";
  if (session_.control_socket().State() == SocketState::kError) {
    session_.DispatchError(source, ErrorCode::kConnectionInterrupted, "");
  } else if (const std::int32_t error = session_.data_connection().LostError(); error != 0) {
    session_.DispatchError(source, error, "");
  }
}

void TransferEngine::TimeouterTick() {
  SessionState& state = session_.state();
  const Operation operation = state.current_operation;
  if (operation != Operation::kDownload && operation != Operation::kUpload) return;
  RunningTransfer* transfer = RunningTransfer::Of(session_);
  if (transfer == nullptr) return;
  const std::int64_t silent_ms =
      platform::CurrentClock().MonotonicMs() - session_.statistics().last_data_tick_ms;
  if (silent_ms / 1000 <= session_.settings().timeout_seconds) return;
  const bool upload = operation == Operation::kUpload;
  // Only a download can count as done without the server's word: its bytes are all here.
  if (!upload && EveryByteMoved(*transfer)) {
    session_.EndAsyncMethod();
    session_.CloseConnect(false);
    state.abort_requested = false;
    session_.Log("Timeouter_Timer:Download:EndAsyncMethod");
    return;
  }
  session_.DispatchError(upload ? "Timeout_Timer:Upload" : "Timeout_Timer:Download",
                         ErrorCode::kTimedOut, "");
}

}  // namespace tarvik
