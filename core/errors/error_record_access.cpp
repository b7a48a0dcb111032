#include "core/errors/error_record_access.h"

#include "core/errors/error_record.h"

namespace tarvik {

std::int32_t RecordedErrorNumber() {
  const CError* record = FindErrorRecord();
  return record == nullptr ? 0 : static_cast<std::int32_t>(record->get_Number());
}

std::string RecordedErrorDescription() {
  const CError* record = FindErrorRecord();
  return record == nullptr ? std::string() : record->get_Description();
}

void SetRecordedErrorNumber(long number) {
  EnsureErrorRecord().put_Number(number);
}

void SetRecordedErrorDescription(std::string_view description) {
  EnsureErrorRecord().put_Description(description);
}

void ClearErrorRecord() {
  if (CError* record = FindErrorRecord()) record->Clear();
}

void WriteLogLine(std::string_view line) {
  if (CError* record = FindErrorRecord()) record->WriteFile(line, false);
}

void TraceLine(std::string_view line) {
  if (CError* record = FindErrorRecord()) record->Trace(line, false);
}

}  // namespace tarvik
