#include "core/session/operation_core.h"

#include <string>

#include "core/errors/error_code.h"
#include "core/errors/error_record_access.h"

namespace tarvik {

std::uintptr_t& ContainerWindow() {
  thread_local std::uintptr_t window = 0;
  return window;
}

void OperationCore::SetFtpState(FtpStates state, bool raise_event) {
  const FtpStates old = state_.ftp_state;
  state_.ftp_state = state;
  if (old != state) {
    TraceLine("STATE:" + std::string(FtpStateName(old)) + "->" + std::string(FtpStateName(state)));
  }
  if (raise_event) host_.RaiseStateChange();
}

void OperationCore::BeginAsyncMethod(Operation operation) {
  ClearErrorRecord();
  state_.current_operation = operation;
}

void OperationCore::EndAsyncMethod() {
  OnOperationEnding();
  if (transfer_sink_ != nullptr) transfer_sink_->CloseLocalFile();
  state_.current_operation = Operation::kNone;
  SetFtpState(FtpStates::ftpFreeState);
}

bool OperationCore::RefuseWhileBusy() {
  if (state_.current_operation == Operation::kNone) return false;
  // Recorded in the fallback fields so that the operation that runs, and its error record, are
  // left alone: it goes on and its method returns its own result.
  state_.fallback_error.number = ErrorCode::kOperationUnfinished;
  state_.fallback_error.text = GetErrorText(ErrorCode::kOperationUnfinished);
  Log("FtpLibrary.Refused:" + std::to_string(ErrorCode::kOperationUnfinished) + "#" +
      std::string(OperationName(state_.current_operation)));
  return true;
}

void OperationCore::Log(std::string_view line) const {
  WriteLogLine(line);
}

}  // namespace tarvik
