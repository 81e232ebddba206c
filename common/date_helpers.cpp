// The parser reads date texts by their separators, never through the user's
// locale, so a settings file written under one regional setting reads under
// any other. Differences count unit boundaries on the wall clock, as the
// original date arithmetic did.
#include "common/date_helpers.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/text_helpers.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

constexpr int64_t kDayZero = -25569;  // 30 December 1899

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// A run of 1 to 4 digits as a number; nullopt for anything else.
std::optional<int> SmallNumber(std::string_view s) {
  if (s.empty() || s.size() > 4) return std::nullopt;
  int v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
  }
  return v;
}

std::vector<std::string_view> Split(std::string_view s, char sep) {
  std::vector<std::string_view> parts;
  size_t start = 0;
  for (size_t i = 0; i <= s.size(); ++i) {
    if (i == s.size() || s[i] == sep) {
      parts.push_back(s.substr(start, i - start));
      start = i + 1;
    }
  }
  return parts;
}

std::optional<int> FullYear(std::string_view s) {
  const auto y = SmallNumber(s);
  if (!y) return std::nullopt;
  if (s.size() <= 2) return *y < 30 ? 2000 + *y : 1900 + *y;
  return *y;
}

bool ParseDatePart(std::string_view s, LocalDateTime& t) {
  std::optional<int> a, b, c;
  int year = 0, month = 0, day = 0;
  for (char sep : {'/', '.', '-'}) {
    const auto parts = Split(s, sep);
    if (parts.size() != 3) continue;
    a = SmallNumber(parts[0]), b = SmallNumber(parts[1]);
    if (!a || !b) return false;
    if (sep == '-' && parts[0].size() == 4) {  // year-month-day
      c = SmallNumber(parts[2]);
      if (!c) return false;
      year = *a, month = *b, day = *c;
    } else {
      c = FullYear(parts[2]);
      if (!c) return false;
      year = *c;
      const bool dayFirst = sep == '.' || (*a > 12 && *b <= 12);
      month = dayFirst ? *b : *a;
      day = dayFirst ? *a : *b;
    }
    t.year = year, t.month = month, t.day = day;
    return true;
  }
  return false;
}

bool ParseTimePart(std::string_view s, LocalDateTime& t) {
  std::string text = ToUpperAscii(s);
  int ampm = 0;  // 1 AM, 2 PM
  for (const char* mark : {"AM", "PM"}) {
    if (text.size() >= 2 && text.compare(text.size() - 2, 2, mark) == 0) {
      ampm = mark[0] == 'A' ? 1 : 2;
      text = TrimBlanks(text.substr(0, text.size() - 2));
    }
  }
  const char sep = text.find(':') != std::string::npos ? ':' : '.';
  const auto parts = Split(text, sep);
  if (parts.size() > 3) return false;
  int fields[3] = {0, 0, 0};
  for (size_t i = 0; i < parts.size(); ++i) {
    const auto v = SmallNumber(parts[i]);
    if (!v || parts[i].size() > 2) return false;
    fields[i] = *v;
  }
  if (ampm != 0) {
    if (fields[0] < 1 || fields[0] > 12) return false;
    fields[0] = fields[0] % 12 + (ampm == 2 ? 12 : 0);
  }
  t.hour = fields[0], t.minute = fields[1], t.second = fields[2];
  return true;
}

// date2 minus date1 in units of sInterval; nullopt for an unknown interval
// or a difference that does not fit 32 bits.
std::optional<int32_t> Difference(const std::string& sInterval, const LocalDateTime& d1, const LocalDateTime& d2) {
  const std::string unit = ToLowerAscii(sInterval);
  const int64_t s1 = WallClockSeconds(d1), s2 = WallClockSeconds(d2);
  const int64_t day1 = FloorDiv(s1, 86400), day2 = FloorDiv(s2, 86400);
  const int64_t m1 = d1.year * 12LL + d1.month, m2 = d2.year * 12LL + d2.month;
  int64_t diff;
  if (unit == "s") diff = s2 - s1;
  else if (unit == "n") diff = FloorDiv(s2, 60) - FloorDiv(s1, 60);
  else if (unit == "h") diff = FloorDiv(s2, 3600) - FloorDiv(s1, 3600);
  else if (unit == "d" || unit == "y") diff = day2 - day1;
  else if (unit == "w") diff = (day2 - day1) / 7;
  else if (unit == "ww") diff = FloorDiv(day2 + 4, 7) - FloorDiv(day1 + 4, 7);  // weeks from Sunday
  else if (unit == "m") diff = m2 - m1;
  else if (unit == "q") diff = (d2.year * 4LL + (d2.month - 1) / 3) - (d1.year * 4LL + (d1.month - 1) / 3);
  else if (unit == "yyyy") diff = d2.year - d1.year;
  else return std::nullopt;
  if (diff < INT32_MIN || diff > INT32_MAX) return std::nullopt;
  return static_cast<int32_t>(diff);
}

void ShowDateError(const std::string& text) { CurrentUserInterface().MsgBox(text, vbOKOnly, ""); }

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  // Howard Hinnant's days_from_civil.
  const int64_t y = static_cast<int64_t>(year) - (month <= 2);
  const int64_t era = FloorDiv(y, 400);
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

LocalDateTime CivilFromDays(int64_t days) {
  const int64_t z = days + 719468;
  const int64_t era = FloorDiv(z, 146097);
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  LocalDateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2));
  t.hour = t.minute = t.second = 0;
  return t;
}

int DaysInMonth(int year, int month) {
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
  return kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

int WeekdayOf(const LocalDateTime& t) {
  // 1 January 1970 was a Thursday (5).
  return static_cast<int>(((DaysFromCivil(t.year, t.month, t.day) + 4) % 7 + 7) % 7) + 1;
}

bool IsValidDateTime(const LocalDateTime& t) {
  return t.year >= 100 && t.year <= 9999 && t.day >= 1 && t.day <= DaysInMonth(t.year, t.month) &&
         t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 && t.second >= 0 && t.second < 60;
}

LocalDateTime AddDays(const LocalDateTime& t, int64_t n) {
  LocalDateTime r = CivilFromDays(DaysFromCivil(t.year, t.month, t.day) + n);
  r.hour = t.hour, r.minute = t.minute, r.second = t.second;
  return r;
}

LocalDateTime AddMonths(const LocalDateTime& t, int n) {
  const int64_t index = static_cast<int64_t>(t.year) * 12 + (t.month - 1) + n;
  LocalDateTime r = t;
  r.year = static_cast<int>(FloorDiv(index, 12));
  r.month = static_cast<int>(index - FloorDiv(index, 12) * 12) + 1;
  r.day = std::min(t.day, DaysInMonth(r.year, r.month));
  return r;
}

int64_t WallClockSeconds(const LocalDateTime& t) {
  return DaysFromCivil(t.year, t.month, t.day) * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

std::optional<LocalDateTime> ParseDateText(std::string_view text) {
  const std::string s = TrimBlanks(text);
  if (s.empty()) return std::nullopt;
  LocalDateTime t = CivilFromDays(kDayZero);
  const size_t blank = s.find(' ');
  const std::string first = s.substr(0, blank);
  const std::string rest = blank == std::string::npos ? "" : TrimBlanks(s.substr(blank + 1));
  if (ParseDatePart(first, t)) {
    if (!rest.empty() && !ParseTimePart(rest, t)) return std::nullopt;
  } else if (!ParseTimePart(s, t)) {
    return std::nullopt;
  }
  if (!IsValidDateTime(t)) return std::nullopt;
  return t;
}

std::string FormatGeneralDate(const LocalDateTime& t) {
  char time[32];
  std::snprintf(time, sizeof time, "%d:%02d:%02d %s", t.hour % 12 == 0 ? 12 : t.hour % 12, t.minute,
                t.second, t.hour < 12 ? "AM" : "PM");
  if (DaysFromCivil(t.year, t.month, t.day) == kDayZero) return time;
  return std::to_string(t.month) + "/" + std::to_string(t.day) + "/" + std::to_string(t.year) + " " + time;
}

int32_t DateDiffRegionalSafe(const std::string& sInterval, const LocalDateTime& d1, const LocalDateTime& d2) {
  if (const auto diff = Difference(sInterval, d1, d2)) return *diff;
  ShowDateError("DateDiffRegionalSafe() Error. Date1: " + FormatGeneralDate(d1) +
                " Date2: " + FormatGeneralDate(d2));
  return 0;
}

int32_t DateDiffRegionalSafe(const std::string& sInterval, const std::string& date1, const std::string& date2) {
  if (TrimBlanks(date1).empty() || TrimBlanks(date2).empty()) return 0;
  auto read = [](const std::string& s) {
    auto t = ParseDateText(s);
    return t ? t : ParseDateText(NormalizeDottedDate(s));
  };
  const auto t1 = read(date1), t2 = read(date2);
  const auto diff = t1 && t2 ? Difference(sInterval, *t1, *t2) : std::nullopt;
  if (!diff) {
    ShowDateError("DateDiffRegionalSafe() Error. Date1: " + date1 + " Date2: " + date2);
    return 0;
  }
  return *diff;
}

std::string NormalizeDottedDate(const std::string& text) {
  if (text.find('.') == std::string::npos) return "";
  std::string s = TrimBlanks(text);
  const auto t = ParseDateText(s);  // dotted texts read day first
  if (!t) {
    std::replace(s.begin(), s.end(), '.', '/');
    return s;
  }
  char out[48];
  std::snprintf(out, sizeof out, "%02d/%02d/%04d %d:%d:%d", t->month, t->day, t->year, t->hour, t->minute,
                t->second);
  return out;
}

LocalDateTime StringToDate(const std::string& text) {
  if (TrimBlanks(text).empty()) return ReadLocalClock();
  if (auto t = ParseDateText(text)) return *t;
  if (text.find('.') != std::string::npos) {
    if (auto t = ParseDateText(NormalizeDottedDate(text))) return *t;
  }
  ShowDateError("StringToDate() Error. DateIn: " + text);
  return ReadLocalClock();
}

std::string MakeValidDateString(const std::string& sMonth, const std::string& sDay, const std::string& sYear,
                                const std::string& sTime) {
  const auto month = SmallNumber(TrimBlanks(sMonth));
  const auto year = FullYear(TrimBlanks(sYear));
  const auto day = SmallNumber(TrimBlanks(sDay));
  if (!month || *month < 1 || *month > 12 || !year || *year < 100 || !day || *day < 1) return "";
  // A day the month has stays as it was typed.
  const int n = std::min(*day, DaysInMonth(*year, *month));
  return sMonth + "/" + (n == *day ? TrimBlanks(sDay) : std::to_string(n)) + "/" + sYear + " " + sTime;
}

}  // namespace tessa
