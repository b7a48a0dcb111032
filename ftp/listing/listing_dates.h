// Dates of directory listings: the Unix date column, the MLSD "modify" fact and the local date
// composer the DOS-style dates use. Every result is a local date and time; the entry keeps it as
// general-date text (platform/time/date_format.h).
#pragma once

#include <optional>
#include <string_view>

#include "ftp/listing/listing_diagnostics.h"
#include "platform/time/local_time.h"

namespace tarvik {

// Error number and procedure name under which an unreadable Unix date column is reported.
inline constexpr long kInvalidDateError = 13;
inline constexpr std::string_view kGetDateXProcedure = "GetDateX";

// 1..12 for a three-letter English month name in any letter case ("jan", "Feb", "MAR"), else 0.
int MonthNumber(std::string_view name);

// A date from its year, month and day written as decimal numbers ("2019", "01", "5"), the day
// starting at midnight; nullopt when a part is not a number or the date does not exist. The
// date is built from the numbers, so the order of the user's short-date pattern plays no part.
std::optional<platform::SystemTime> ComposeLocalDate(std::string_view year, std::string_view month,
                                                     std::string_view day);

// The 12-character date column of a Unix long listing, local time:
//   "Jan 05 12:30"  "Jan  5 12:30"  (time form: within the last half year, year not shown)
//   "Jan 05  2019"                  (year form: the time is midnight)
// A time-form date takes the year of `today`, unless that puts it more than two days ahead of
// `today` (a file of 31 December listed on 1 January): then it is last year's, as ls means it.
// The two days allow for a server clock or time zone ahead of ours. nullopt when unreadable.
std::optional<platform::SystemTime> ReadUnixDateColumn(std::string_view column,
                                                       const platform::SystemTime& today);

// ReadUnixDateColumn that reports a failure under "GetDateX" and then gives the zero date.
platform::SystemTime GetDateX(std::string_view column, const platform::SystemTime& today,
                              ListingDiagnostics& diagnostics);

// The value of an MLSD "modify" fact, YYYYMMDDHHMMSS[.sss] in UTC, as local time of the system
// time zone. Fractional seconds are dropped. nullopt unless exactly 14 characters remain.
std::optional<platform::SystemTime> GetMLSDFileTime(std::string_view value);

}  // namespace tarvik
