// CError: the error record and log writer. One record serves every control on a thread: it holds
// the most recent error (number, description, source) until the next operation clears it, and it
// writes the log lines of the whole library.
//
// Lifetime: EnsureErrorRecord creates the thread's record on first use, with LogFilePath set to
// the user's log (PrepareLogFilePath); ReleaseErrorRecord drops it when a control terminates, and
// the next user creates it again. The control's EnsureSessionObjects calls EnsureErrorRecord.
#pragma once

#include <string>
#include <string_view>

namespace tarvik {

class CError {
 public:
  explicit CError(std::string log_file_path = {});

  // Number: setting 0 is ignored; only Clear resets it.
  long get_Number() const { return number_; }
  void put_Number(long value);
  // Description: a generic value (blank, or the runtime's object-defined wording, or any value
  // while Number is 21000) is replaced by the message for Number; then the leftover placeholders
  // "[ {0} ]", "[{0}]", "{0}", "[]" and "[  ]" are removed, in that order.
  const std::string& get_Description() const { return description_; }
  void put_Description(std::string_view value);
  // Source: the procedure that reported the error.
  const std::string& get_Source() const { return source_; }
  void put_Source(std::string_view value) { source_ = value; }
  // LogFilePath: full Windows path of the log file; "" logs nothing.
  const std::string& get_LogFilePath() const { return log_file_path_; }
  void put_LogFilePath(std::string_view value) { log_file_path_ = value; }
  // ShowError: DealError shows a message box.
  bool get_ShowError() const { return show_error_; }
  void put_ShowError(bool value) { show_error_ = value; }
  // EnableLog (default on) and EnableTrace (default off) are write-only switches.
  void put_EnableLog(bool value) { enable_log_ = value; }
  void put_EnableTrace(bool value) { enable_trace_ = value; }

  // The number of the error being handled, or, when that is 0, the thread's last system error.
  long GetErrorNumber() const;
  // Completes the record and deals with it: a missing number is taken from GetErrorNumber, a
  // missing description from the error being handled; a box "Description(Number)" is shown when
  // ErrShow or ShowError is set; the line "Source|Description(Number)" goes to the log when the
  // log's folder exists. Does nothing for a record without number and description.
  void DealError(std::string_view ErrSource, bool ErrShow);
  // Writes one log line (see log_file.h); `Overwrite` starts the file afresh. False when logging
  // is off, there is no log path, or the write failed; failures are never reported.
  bool WriteFile(std::string_view Text, bool Overwrite);
  // Writes one line, as WriteFile, to "trace.qzw" in the temporary folder, deleting that file
  // first when it has reached 204,801 bytes. Does nothing while EnableTrace is off. A failure
  // shows the box "Trace Error!" with its description, the path and the error number.
  bool Trace(std::string_view Text, bool Overwrite);
  // Number 0, Description "", Source "".
  void Clear();

 private:
  long number_ = 0;
  std::string description_;
  std::string source_;
  std::string log_file_path_;
  bool show_error_ = false;
  bool enable_log_ = true;
  bool enable_trace_ = false;
};

// The thread's record, or nullptr when none exists.
CError* FindErrorRecord();
// The thread's record, created on first use with the user's log path.
CError& EnsureErrorRecord();
// Drops the thread's record (a control's termination).
void ReleaseErrorRecord();

}  // namespace tarvik
