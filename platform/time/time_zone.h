// The system's time zone, as the calendar functions of local_time.h use it: each system reads its
// own zone settings (Linux the TZ variable or /etc/localtime, Windows the system's zone).
#pragma once

#include <optional>

#include "platform/time/local_time.h"

namespace tarvik::platform {

// The UTC date and time of `point`.
SystemTime UtcTimeAt(TimePoint point);

// The local date and time of `point` in the system's zone.
SystemTime LocalTimeAt(TimePoint point);

// The point in time of the valid local date and time `local`; nullopt when the system cannot
// place it. A time in a daylight-saving gap or overlap is resolved as the system resolves it.
std::optional<TimePoint> LocalTimeToPoint(const SystemTime& local);

}  // namespace tarvik::platform
