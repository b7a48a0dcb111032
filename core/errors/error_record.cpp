#include "core/errors/error_record.h"

#include <array>
#include <memory>
#include <utility>

#include "core/errors/error_box.h"
#include "core/errors/error_text.h"
#include "core/errors/generic_text.h"
#include "core/errors/log_file.h"
#include "core/errors/pending_error.h"
#include "platform/fs/known_folders.h"
#include "platform/fs/last_error.h"

namespace tarvik {

namespace {

// Placeholders a text keeps when its argument was empty, removed in this order.
constexpr std::array<std::string_view, 5> kLeftoverPlaceholders = {"[ {0} ]", "[{0}]", "{0}", "[]",
                                                                   "[  ]"};

void RemoveAll(std::string& text, std::string_view part) {
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at)) {
    text.erase(at, part.size());
  }
}

std::unique_ptr<CError>& ThreadRecord() {
  thread_local std::unique_ptr<CError> record;
  return record;
}

}  // namespace

CError::CError(std::string log_file_path) : log_file_path_(std::move(log_file_path)) {}

void CError::put_Number(long value) {
  if (value != 0) number_ = value;
}

void CError::put_Description(std::string_view value) {
  description_ = IsGenericErrorText(value, number_) ? GetErrorText(number_) : std::string(value);
  for (std::string_view placeholder : kLeftoverPlaceholders) RemoveAll(description_, placeholder);
}

long CError::GetErrorNumber() const {
  const long pending = CurrentPendingError().number;
  return pending != 0 ? pending : static_cast<long>(platform::GetLastError());
}

void CError::DealError(std::string_view ErrSource, bool ErrShow) {
  if (number_ == 0) put_Number(GetErrorNumber());
  if (number_ == 0 && description_.empty()) return;
  if (description_.empty()) put_Description(CurrentPendingError().description);
  if (!IsBlankText(ErrSource)) put_Source(ErrSource);
  const std::string numbered = description_ + "(" + std::to_string(number_) + ")";
  if (ErrShow || show_error_) ShowErrorBox(numbered);
  if (log_file_path_.find('\\') != std::string::npos &&
      FolderExists(FolderOfPath(log_file_path_))) {
    WriteFile(source_ + "|" + numbered, false);
  }
}

bool CError::WriteFile(std::string_view Text, bool Overwrite) {
  if (!enable_log_ || log_file_path_.empty()) return false;
  return AppendLogLine(log_file_path_, Text, Overwrite);
}

bool CError::Trace(std::string_view Text, bool Overwrite) {
  if (!enable_trace_) return false;
  std::string path = platform::GetTempPath();
  if (!path.empty() && path.back() != '\\') path += '\\';
  path += kTraceFileName;
  DeleteOversizedLog(path);
  if (AppendLogLine(path, Text, Overwrite)) return true;
  const long error = static_cast<long>(platform::GetLastError());
  ShowErrorBox("Trace Error!\r\nDescription:" + GetErrorText(error) + "\r\n" + path + "\r\n" +
               std::to_string(error));
  return false;
}

void CError::Clear() {
  number_ = 0;
  description_.clear();
  source_.clear();
}

CError* FindErrorRecord() {
  return ThreadRecord().get();
}

CError& EnsureErrorRecord() {
  std::unique_ptr<CError>& record = ThreadRecord();
  if (!record) record = std::make_unique<CError>(PrepareLogFilePath());
  return *record;
}

void ReleaseErrorRecord() {
  ThreadRecord().reset();
}

}  // namespace tarvik
