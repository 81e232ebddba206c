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

void SetClockSource(ClockSource source) {
  std::lock_guard<std::mutex> lock(ClockMutex());
  InstalledSource() = std::move(source);
}

}  // namespace tessa
