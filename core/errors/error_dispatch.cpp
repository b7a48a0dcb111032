#include "core/errors/error_dispatch.h"

#include "core/errors/error_code.h"
#include "core/errors/error_record.h"
#include "core/errors/error_text.h"
#include "core/errors/generic_text.h"
#include "core/errors/message_table.h"
#include "platform/loop/winsock_errors.h"
#include "platform/text/ascii_text.h"

namespace tarvik {

std::string DispatchError(std::string_view source, long number, std::string_view text, bool show) {
  CError& record = EnsureErrorRecord();
  const std::string_view trimmed_source = platform::Trim(source, platform::kSpaces);
  if (!trimmed_source.empty()) record.put_Source(trimmed_source);
  if (number == 0) number = record.GetErrorNumber();
  if (number == 0) {
    record.WriteFile(std::string(trimmed_source) + ":ErrorNumber=0" + std::string(text), false);
    return {};
  }
  record.put_Number(number);
  record.put_Description(IsGenericErrorText(text, record.get_Number()) ? GetErrorText(number)
                                                                       : std::string(text));
  record.put_ShowError(show);
  record.DealError("", false);
  return record.get_Description();
}

long ControlErrorNumber(const ControlFallbackError& fallback) {
  const CError* record = FindErrorRecord();
  long number = record != nullptr ? record->get_Number() : 0;
  if (number == 0) number = fallback.number;
  // A failed data connection (20061) reads as "connection refused" (10061) to the host.
  return number == ErrorCode::kDataSocketConnectFailed ? platform::winsock::kWsaEConnRefused
                                                       : number;
}

std::string ControlErrorInfo(const ControlFallbackError& fallback) {
  const long number = ControlErrorNumber(fallback);
  if (number == ErrorCode::kOperationCanceled) return MessageText(message_row::kOperationCanceled);
  const CError* record = FindErrorRecord();
  std::string info = record != nullptr ? record->get_Description() : std::string();
  if (IsBlankText(info)) info = fallback.text;
  if (info.empty()) info = GetErrorText(number);
  return info;
}

void ReportErrorToRecord(std::string_view procedure, long number, std::string_view description,
                         bool show, const ControlFallbackError& fallback) {
  const std::string source =
      procedure.empty() ? std::string() : "FtpLibrary." + std::string(procedure);
  if (number == 0) number = ControlErrorNumber(fallback);
  if (ControlErrorNumber(fallback) == 0 && number != 0) EnsureErrorRecord().put_Number(number);
  const std::string info =
      description.empty() ? ControlErrorInfo(fallback) : std::string(description);
  DispatchError(source, number, info, show);
}

}  // namespace tarvik
