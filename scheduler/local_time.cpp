#include "scheduler/local_time.h"

#include <optional>

#include "common/date_helpers.h"

namespace tessa {

namespace {

bool SameFields(const LocalDateTime& a, const LocalDateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour && a.minute == b.minute &&
         a.second == b.second;
}

// The moment at which the clock shows t with the given daylight-saving flag,
// when it ever does.
std::optional<std::time_t> Exact(const LocalDateTime& t, int isdst) {
  std::tm tm = ToBrokenDownTime(t, isdst);
  const std::time_t r = std::mktime(&tm);
  if (r == static_cast<std::time_t>(-1) || !SameFields(LocalTimeOf(r), t)) return std::nullopt;
  return r;
}

// Of the moments at which the clock shows t (two in a repeated hour), the
// first at or after notBefore, else the first of all.
std::optional<std::time_t> Earliest(const LocalDateTime& t, std::time_t notBefore) {
  std::optional<std::time_t> first, firstFrom;
  for (int isdst : {0, 1, -1}) {
    const auto r = Exact(t, isdst);
    if (!r) continue;
    if (!first || *r < *first) first = r;
    if (*r >= notBefore && (!firstFrom || *r < *firstFrom)) firstFrom = r;
  }
  return firstFrom ? firstFrom : first;
}

}  // namespace

std::time_t ResolveLocalTime(const LocalDateTime& t, std::time_t notBefore) {
  if (const auto r = Earliest(t, notBefore)) return *r;
  // Skipped by a change (at most a few hours): walk on a minute at a time.
  LocalDateTime m = t;
  m.second = 0;
  const int64_t start = WallClockSeconds(m);
  for (int step = 1; step <= 24 * 60; ++step) {
    LocalDateTime next = CivilFromDays((start + step * 60) / 86400);
    const int64_t secs = (start + step * 60) % 86400;
    next.hour = static_cast<int>(secs / 3600);
    next.minute = static_cast<int>(secs / 60 % 60);
    if (const auto r = Earliest(next, notBefore)) return *r;
  }
  std::tm tm{};
  tm.tm_year = t.year - 1900, tm.tm_mon = t.month - 1, tm.tm_mday = t.day;
  tm.tm_hour = t.hour, tm.tm_min = t.minute, tm.tm_sec = t.second, tm.tm_isdst = -1;
  return std::mktime(&tm);
}

}  // namespace tessa
