// Reporting an error: the module-level report DispatchError, and what the control builds on it.
//
// How the control plugs in. The control keeps a fallback error (ControlFallbackError: a number and
// a text that its remote operations clear at entry and a few paths fill directly). Then:
//   ErrorNumber  = ControlErrorNumber(fallback)
//   ErrorInfo    = ControlErrorInfo(fallback)
//   ReportError(procedure, number, description, show) =
//       ReportErrorToRecord(procedure, number, description, show, fallback), followed by the
//       control's own steps: close the control connection when the running operation is the
//       connect (1), close the local file for a download or upload (8, 9), and end the running
//       operation (operation 0, state 0, OnStateChange).
//   EnsureSessionObjects calls EnsureErrorRecord (error_record.h); creating a control calls
//   LoadMessageTexts (message_table.h) and TrimLogFileAtStartup (log_file.h); marking an
//   operation running calls CError::Clear on the record; LangInfo is GetLangInfo / LetLangInfo.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

// The control's own error fields, beside the thread's record.
struct ControlFallbackError {
  long number = 0;   // used when the record's Number is 0
  std::string text;  // used when the record's Description is blank
};

// The module-level report. Creates the record if needed; sets Source to the trimmed `source` when
// it is not blank; takes GetErrorNumber() for a zero `number`, and when that is 0 too only logs
// source + ":ErrorNumber=0" + text and returns "". Otherwise sets Number, replaces a generic
// `text` with GetErrorText(number), sets Description and ShowError = `show`, and deals with the
// error (DealError: box, log line). Returns the record's Description.
std::string DispatchError(std::string_view source, long number, std::string_view text, bool show);

// ErrorNumber: the record's Number, else the fallback number; 20061 reads as 10061.
long ControlErrorNumber(const ControlFallbackError& fallback);

// ErrorInfo: the record's Description, else the fallback text, else GetErrorText(ErrorNumber);
// always row 7 ("The operation has been canceled") when ErrorNumber is 16010.
std::string ControlErrorInfo(const ControlFallbackError& fallback);

// The record's part of the control's ReportError: source "FtpLibrary." + procedure ("" without a
// procedure); a zero `number` takes ErrorNumber; the record's Number is set when ErrorNumber is
// still 0; an empty `description` takes ErrorInfo; then DispatchError.
void ReportErrorToRecord(std::string_view procedure, long number, std::string_view description,
                         bool show, const ControlFallbackError& fallback);

}  // namespace tarvik
