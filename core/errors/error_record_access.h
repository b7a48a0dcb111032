// The session's short-hands for the thread's shared error record and log (core/errors): the
// record may not exist (it is released when any control terminates), and then there is nothing
// recorded and nothing is logged.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/errors/error_dispatch.h"
#include "core/errors/error_text.h"
#include "core/errors/message_table.h"

namespace tarvik {

std::int32_t RecordedErrorNumber();
std::string RecordedErrorDescription();
void SetRecordedErrorNumber(long number);
void SetRecordedErrorDescription(std::string_view description);
void ClearErrorRecord();
// Writes one log line (nothing without a record or with logging off).
void WriteLogLine(std::string_view line);
// Writes one trace line (only while tracing is on).
void TraceLine(std::string_view line);

}  // namespace tarvik
