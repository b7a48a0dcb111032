// Texts for sizes, counts and durations shown to the user: the FormatSize/FormatFileSize and
// FormatTime members of the control and the digit-grouped sizes of the replace dialog.
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// A byte count in the largest fitting unit: "500 Bytes", "2 KB", "1.5 MB", "2.05 GB". The value
// is divided by the unit (1024, 1,048,576 or 1,048,576,000 bytes), rounded half away from zero to
// 2 decimals, then written with at most 0 (KB), 1 (MB) or 2 (GB) decimals and no trailing zeros.
// Below 1024, and for negative or non-finite values, the number itself is written as the
// automation layer writes a Double, followed by " Bytes".
std::string FormatSize(double size);

// A duration as hours, minutes and seconds: "01:05:30", "100:00:00". Hours take as many digits as
// they need. The seconds are first rounded to a whole number (ties to even); zero, negative and
// non-numeric values give "00:00:00".
std::string ValueToTime(double seconds);

// ValueToTime without zero hours: 330 -> "05:30", 3930 -> "01:05:30", 0 -> "00:00".
std::string FormatTime(std::int32_t seconds);

// `size` rounded half away from zero to a whole number, in digit groups with the user's
// separator: "1,572,864". Zero (and anything that rounds to it) gives "", as the pattern "#,###"
// writes nothing for it; a non-finite value also gives "".
std::string FormatNumber(double size);

// "Can't transfer the file whose size more than 1.5M" for MaxSize `max_size` (bytes), in
// megabytes with one decimal, without a ".0".
std::string TooLargeText(double max_size);

}  // namespace tarvik
