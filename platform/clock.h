// The local wall clock, replaceable so that code reading the date and time
// can be tested at any moment (midnight included).
#pragma once

#include <ctime>
#include <functional>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// A local date and time to the second.
struct LocalDateTime {
  int year = 1899;
  int month = 12;   // 1-12
  int day = 30;     // 1-31
  int hour = 0;     // 0-23
  int minute = 0;
  int second = 0;
};

using ClockSource = std::function<LocalDateTime()>;

// Reads the installed clock once: the system's local time unless a test
// installed another source.
LocalDateTime ReadLocalClock();

// Installs source as the clock; an empty source restores the system clock.
void SetClockSource(ClockSource source);

// The current moment in seconds since 1970 (UTC): the system's time, or the
// installed clock's local time read in the local time zone.
std::time_t ReadClockSeconds();

// The local date and time of moment t in the local time zone.
LocalDateTime LocalTimeOf(std::time_t t);

// t as the C library's broken-down time, with the given daylight-saving
// flag (-1: let the library decide).
std::tm ToBrokenDownTime(const LocalDateTime& t, int isdst);

}  // namespace tessa
