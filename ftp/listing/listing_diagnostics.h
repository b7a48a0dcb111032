// Where the listing parser sends what it has to say: lines for the control's log, and failures
// for the control's error reporting. The session that runs a listing supplies both (the log
// writer of the error record, and the control-level report with a procedure name); tests record
// them.
#pragma once

#include <string_view>

namespace tarvik {

class ListingDiagnostics {
 public:
  virtual ~ListingDiagnostics() = default;
  // One line for the log file, without the date the log writer appends.
  virtual void WriteLog(std::string_view text) = 0;
  // A failure to report under `procedure` ("GetDateX"); the parse goes on.
  virtual void ReportError(std::string_view procedure, long number,
                           std::string_view description) = 0;
};

}  // namespace tarvik
