// Reporting failures: the control-level report of a public method (ReportError), and what the
// host reads afterwards (ErrorNumber, ErrorInfo).
#include <string>

#include "control/errors/error_record.h"
#include "ftp/session/ftp_session.h"

namespace tarvik {
namespace {

constexpr std::int32_t kCanceled = 16010;
constexpr std::int32_t kDataSocketConnectFailed = 20061;
constexpr std::int32_t kConnectionRefused = 10061;
constexpr int kCanceledRow = 7;

}  // namespace

bool FtpSession::ErrorRecorded() const { return RecordedErrorNumber() != 0; }

std::int32_t FtpSession::ErrorNumber() const {
  std::int32_t number = RecordedErrorNumber();
  if (number == 0) number = state_.fallback_error_number;
  return number == kDataSocketConnectFailed ? kConnectionRefused : number;
}

std::string FtpSession::ErrorInfo() const {
  const std::int32_t number = ErrorNumber();
  if (number == kCanceled) return LanguageText(kCanceledRow);
  std::string info = RecordedErrorDescription();
  if (info.find_first_not_of(' ') == std::string::npos) info = state_.fallback_error_info;
  if (info.empty()) info = GetErrorText(number);
  return info;
}

void FtpSession::DispatchError(std::string_view source, std::int32_t number,
                               std::string_view text) {
  tarvik::DispatchError(source, number, text, false);
}

void FtpSession::ReportError(std::string_view procedure, std::int32_t number,
                             std::string description, bool show) {
  const std::string source = procedure.empty() ? std::string() : "FtpLibrary." + std::string(procedure);
  if (number == 0) number = ErrorNumber();
  if (ErrorNumber() == 0 && number != 0) SetRecordedErrorNumber(number);
  if (description.empty()) description = ErrorInfo();
  tarvik::DispatchError(source, number, description, show);
  const Operation running = state_.current_operation;
  if (running == Operation::kConnect) CloseControlSocket();
  if ((running == Operation::kDownload || running == Operation::kUpload) &&
      transfer_sink_ != nullptr) {
    transfer_sink_->CloseLocalFile();
  }
  EndAsyncMethod();
}

}  // namespace tarvik
