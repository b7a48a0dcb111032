// Ending the session: QUIT, closing the control connection, stopping the timers. Nothing here
// raises: every step it calls reports its own failures.
#include "ftp/session/ftp_session.h"
#include "net/socket_support.h"

namespace tarvik {
namespace {

// QUIT is answered at once by every server; a silent one is not waited for long.
constexpr std::int64_t kQuitLimitSeconds = 1;

}  // namespace

bool FtpSession::Quit() {
  if (!Connected() || state_.current_operation == Operation::kQuit) return false;
  data_.CloseDataConnection();
  BeginAsyncMethod(Operation::kQuit);
  bool result = false;
  if (SendFtpCommand("QUIT")) {
    WaitForOperation(Operation::kQuit, kQuitLimitSeconds, true);
    result = !ErrorRecorded();
  }
  EndAsyncMethod();
  return result;
}

void FtpSession::ResetStatistics() {
  const TransferStatistics fresh;
  statistics_.percent = fresh.percent;
  statistics_.speed = fresh.speed;
  statistics_.speed_sum = fresh.speed_sum;
  statistics_.speed_samples = fresh.speed_samples;
  statistics_.left_time_estimate = fresh.left_time_estimate;
  statistics_.transferred_size = fresh.transferred_size;
  statistics_.file_size = fresh.file_size;
  statistics_.queue_index = fresh.queue_index;
  statistics_.queue_total = fresh.queue_total;
  statistics_.transferred_local_files.clear();
  statistics_.transferred_remote_files.clear();
  statistics_.skipped_files.clear();
  statistics_.removal_record.clear();
}

bool FtpSession::CloseConnect(bool reset_statistics) {
  if (reset_statistics) ResetStatistics();
  MSocketSupport::State().ConnectPending = false;
  if (Connected()) {
    if (!Quit()) return false;
    CloseControlSocket();
    SetFtpState(FtpStates::ftpClosed, false);
  }
  host_.SetTimersEnabled(false);
  return true;
}

bool FtpSession::Disconnect() {
  return CloseConnect(true);
}

}  // namespace tarvik
