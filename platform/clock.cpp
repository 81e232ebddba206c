#include "platform/clock.h"

#include <ctime>
#include <mutex>
#include <utility>

namespace tessa {

namespace {
std::mutex& ClockMutex() {
  static std::mutex m;
  return m;
}
ClockSource& InstalledSource() {
  static ClockSource source;
  return source;
}

}  // namespace

LocalDateTime LocalTimeOf(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  LocalDateTime r;
  r.year = tm.tm_year + 1900;
  r.month = tm.tm_mon + 1;
  r.day = tm.tm_mday;
  r.hour = tm.tm_hour;
  r.minute = tm.tm_min;
  r.second = tm.tm_sec;
  return r;
}

std::tm ToBrokenDownTime(const LocalDateTime& t, int isdst) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = isdst;
  return tm;
}

LocalDateTime ReadLocalClock() {
  ClockSource source;
  {
    std::lock_guard<std::mutex> lock(ClockMutex());
    source = InstalledSource();
  }
  return source ? source() : LocalTimeOf(std::time(nullptr));
}

std::time_t ReadClockSeconds() {
  ClockSource source;
  {
    std::lock_guard<std::mutex> lock(ClockMutex());
    source = InstalledSource();
  }
  if (!source) return std::time(nullptr);
  std::tm tm = ToBrokenDownTime(source(), -1);
  return std::mktime(&tm);
}

void SetClockSource(ClockSource source) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  InstalledSource() = std::move(source);
}

}  // namespace tessa
