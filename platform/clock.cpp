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

LocalDateTime SystemLocalTime() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  LocalDateTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  return t;
}
}  // namespace

LocalDateTime ReadLocalClock() {
  ClockSource source;
  {
    std::lock_guard<std::mutex> lock(ClockMutex());
    source = InstalledSource();
  }
  return source ? source() : SystemLocalTime();
}

std::time_t ReadClockSeconds() {
  ClockSource source;
  {
    std::lock_guard<std::mutex> lock(ClockMutex());
    source = InstalledSource();
  }
  if (!source) return std::time(nullptr);
  const LocalDateTime t = source();
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

void SetClockSource(ClockSource source) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  InstalledSource() = std::move(source);
}

}  // namespace tessa
