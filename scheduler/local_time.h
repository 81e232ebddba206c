// Turning wall-clock times of the local time zone into moments and back,
// across daylight-saving changes: a time that a change skips is taken at the
// first minute after it that exists, a time that a change repeats at its
// first pass that has not gone by.
#pragma once

#include <ctime>
#include <limits>

#include "platform/clock.h"

namespace tessa {

// The first moment at or after notBefore at which the local clock shows t
// (seconds included); when the clock shows t only before notBefore, the
// first of those moments. When the clock never shows t: the first moment
// after it at which the clock shows a whole minute.
std::time_t ResolveLocalTime(const LocalDateTime& t,
                             std::time_t notBefore = std::numeric_limits<std::time_t>::min());

}  // namespace tessa
