// Turning wall-clock times of the local time zone into moments and back,
// across daylight-saving changes: a time that a change skips is taken at the
// first minute after it that exists, a time that a change repeats at its
// first pass.
#pragma once

#include <ctime>

#include "platform/clock.h"

namespace tessa {

// The first moment at which the local clock shows t (seconds included), or,
// when the clock never shows it, the first moment after it at which the
// clock shows a whole minute.
std::time_t ResolveLocalTime(const LocalDateTime& t);

}  // namespace tessa
