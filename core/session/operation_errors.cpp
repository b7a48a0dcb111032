// Reporting failures: the control-level report of a public method (ReportError), and what the
// host reads afterwards (ErrorNumber, ErrorInfo).
#include <string>

#include "core/errors/error_record_access.h"
#include "core/session/operation_core.h"

namespace tarvik {
bool OperationCore::ErrorRecorded() const {
  return RecordedErrorNumber() != 0;
}

std::int32_t OperationCore::ErrorNumber() const {
  return static_cast<std::int32_t>(ControlErrorNumber(state_.fallback_error));
}

std::string OperationCore::ErrorInfo() const {
  // The text often carries the server's bytes: the line ends after it are dropped and any other
  // control character (a form feed, an escape) shows as a blank, so that a host can print it.
  std::string text = ControlErrorInfo(state_.fallback_error);
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n')) text.pop_back();
  for (char& c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return text;
}

void OperationCore::DispatchError(std::string_view source, std::int32_t number,
                                  std::string_view text) {
  tarvik::DispatchError(source, number, text, false);
}

void OperationCore::ReportError(std::string_view procedure, std::int32_t number,
                                std::string description, bool show) {
  ReportErrorToRecord(procedure, number, description, show, state_.fallback_error);
  const Operation running = state_.current_operation;
  OnOperationFailed(running);
  if ((running == Operation::kDownload || running == Operation::kUpload) &&
      transfer_sink_ != nullptr) {
    transfer_sink_->CloseLocalFile();
  }
  EndAsyncMethod();
}

}  // namespace tarvik
