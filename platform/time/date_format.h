// The user's date and time settings and the texts they produce.
//
// Two patterns stand for the user's locale settings: the short-date pattern (default "M/d/yyyy")
// and the long-time pattern (default "h:mm:ss tt"). They are read once, from the environment
// variables TARVIK_SHORT_DATE and TARVIK_LONG_TIME when set and not empty, else the defaults; a
// host or a test may replace them with SetDatePatterns.
//
// Pattern letters (case matters; runs of the same letter form one field):
//   d dd ddd dddd   day 5 / 05 / Sat / Saturday      M MM MMM MMMM  month 1 / 01 / Jan / January
//   y yy yyyy       year 19 (no leading zero) / 19 / 2019
//   h hh H HH       hour 12-hour / 12-hour 2 digits / 24-hour / 24-hour 2 digits
//   m mm s ss       minute, second                  t tt           "A"/"P", "AM"/"PM"
//   'text'          literal text ('' is one quote)  anything else  copied as it is
//
// The general-date text is what the automation runtime writes for a date value:
//   - the short date alone when the time is exactly midnight,
//   - the long time alone when the date is the zero date 12/30/1899,
//   - else short date + " " + long time.
// Examples with the defaults: "1/5/2019 12:30:45 PM", "1/5/2019", "12:30:45 PM".
#pragma once

#include <string>
#include <string_view>

#include "platform/time/local_time.h"

namespace tarvik::platform {

inline constexpr std::string_view kDefaultShortDatePattern = "M/d/yyyy";
inline constexpr std::string_view kDefaultLongTimePattern = "h:mm:ss tt";

// The user's patterns (see above).
std::string ShortDatePattern();
std::string LongTimePattern();

// Replaces the user's patterns; an empty argument reads that pattern again from its environment
// variable, or takes the default.
void SetDatePatterns(std::string_view short_date, std::string_view long_time);

// Writes `time` by `pattern`. `time` should be valid; out-of-range fields are written as numbers.
std::string FormatDateTime(const SystemTime& time, std::string_view pattern);

// The date by the short-date pattern, the time by the long-time pattern.
std::string ShortDateText(const SystemTime& time);
std::string LongTimeText(const SystemTime& time);

// The general-date text of `time` (see above).
std::string GeneralDateText(const SystemTime& time);

}  // namespace tarvik::platform
