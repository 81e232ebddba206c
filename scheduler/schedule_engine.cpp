// Interval targets are moments (seconds since 1970), so a daylight-saving
// change neither fires a burst of runs nor stalls one for an hour. Calendar
// targets are wall-clock dates and times moved by calendar days and months,
// and are resolved to a moment only to compare them with now: a daily run at
// 9:00 stays at 9:00 across a change, and one at a time the change skips runs
// at the first minute after it.
#include "scheduler/schedule_engine.h"

#include <algorithm>
#include <cstdlib>

#include "common/date_helpers.h"
#include "scheduler/local_time.h"

namespace tessa {

namespace {

LocalDateTime AtTime(LocalDateTime date, int hour, int minute) {
  date.hour = hour, date.minute = minute, date.second = 0;
  return date;
}

LocalDateTime DateOnly(const LocalDateTime& t) { return AtTime(t, 0, 0); }

}  // namespace

Countdown CountdownOf(int64_t seconds) {
  const int64_t s = std::llabs(seconds);
  Countdown c;
  c.lngDays = static_cast<int32_t>(s / 86400);
  c.lngHours = static_cast<int32_t>(s % 86400 / 3600);
  c.lngMinutes = static_cast<int32_t>(s % 3600 / 60);
  c.lngSeconds = static_cast<int32_t>(s % 60);
  return c;
}

void ScheduleEngine::Start(const ScheduleRule& rule, std::time_t now) {
  rule_ = rule;
  rule_.lngIntervalSeconds = std::max<int32_t>(rule_.lngIntervalSeconds, 1);
  rule_.intDaysInterval = std::max(rule_.intDaysInterval, 1);
  rule_.intWeeksInterval = std::max(rule_.intWeeksInterval, 1);
  rule_.intMonthsInterval = std::max(rule_.intMonthsInterval, 1);
  rule_.iDayOfMonth = std::clamp(rule_.iDayOfMonth, 1, 31);
  if (rule_.bTimeBased) {
    dtRelativeTarget_ = now + rule_.lngIntervalSeconds;
    return;
  }
  dtUserTargetTime = AtTime(CivilFromDays(-25569), rule_.iTargetHour, rule_.iTargetMinute);
  dtTargetComplete = FindFirstCalendarTarget(now);
  // Begun in the second pass of a repeated hour, a target later in that
  // hour comes in this pass; one in the current minute still runs.
  SetCalendarTarget(dtTargetComplete, now - 59);
}

LocalDateTime ScheduleEngine::FindFirstCalendarTarget(std::time_t now) {
  const LocalDateTime local = LocalTimeOf(now);
  const LocalDateTime today = DateOnly(local);
  const int nowMinute = local.hour * 60 + local.minute;
  const int targetMinute = rule_.iTargetHour * 60 + rule_.iTargetMinute;
  if (rule_.bWeekly) {
    const bool passed = nowMinute * 60 + local.second > targetMinute * 60;
    return WeeklyFindNextTargetDate(today, passed);
  }
  if (rule_.bMonthly) {
    // This month's day (cut to its last day); a day already gone this month
    // moves to the next month. Today's day stays even when its time passed:
    // the first tick then moves it on without a run.
    LocalDateTime d = MonthlyTarget(today.year, today.month);
    if (d.day < today.day) {
      const LocalDateTime next = AddMonths(AtTime(today, 0, 0), 1);
      d = MonthlyTarget(next.year, next.month);
    }
    return d;
  }
  const LocalDateTime day = nowMinute > targetMinute ? AddDays(today, 1) : today;
  return AtTime(day, rule_.iTargetHour, rule_.iTargetMinute);
}

LocalDateTime ScheduleEngine::MonthlyTarget(int year, int month) const {
  LocalDateTime d;
  d.year = year, d.month = month;
  d.day = std::min(rule_.iDayOfMonth, DaysInMonth(year, month));
  return AtTime(d, rule_.iTargetHour, rule_.iTargetMinute);
}

LocalDateTime ScheduleEngine::WeeklyFindNextTargetDate(const LocalDateTime& from, bool bTimePassed) {
  const int t = WeekdayOf(from);
  const auto ticked = [&](int wd) { return rule_.weekdays[static_cast<size_t>(wd - 1)]; };
  if (ticked(t) && !bTimePassed) {
    intNextWeekday_ = t;
  } else {
    // Tomorrow first, wrapping from Saturday to Sunday; today is the last
    // candidate. With no day ticked the last choice stays.
    for (int k = 1; k <= 7; ++k) {
      const int wd = (t - 1 + k) % 7 + 1;
      if (ticked(wd)) {
        intNextWeekday_ = wd;
        break;
      }
    }
  }
  const int n = intNextWeekday_ == 0 ? t : intNextWeekday_;
  const int weeks = rule_.intWeeksInterval;
  int64_t days;
  if (n > t) {
    days = n - t;
  } else if (n == t) {
    // Only today is left: a week on, or N weeks on once the first weekly
    // calculation since the window loaded is done.
    days = bTimePassed ? 7LL * (bFirstWeeklyCalc ? 1 : weeks) : 0;
  } else if (weeks < 2 || bFirstWeeklyCalc) {
    days = n - t + 7;
  } else {
    days = 7LL * (weeks - 1) + (7 - (t - n));
  }
  bFirstWeeklyCalc = false;
  return AtTime(AddDays(from, days), rule_.iTargetHour, rule_.iTargetMinute);
}

LocalDateTime ScheduleEngine::NextCalendarTarget(const LocalDateTime& fired) {
  if (rule_.bWeekly) return WeeklyFindNextTargetDate(DateOnly(fired), true);
  if (rule_.bMonthly) {
    const LocalDateTime next = AddMonths(fired, rule_.intMonthsInterval);
    return MonthlyTarget(next.year, next.month);
  }
  return AddDays(fired, rule_.bEveryWeekday ? 1 : rule_.intDaysInterval);
}

ScheduleEngine::Tick ScheduleEngine::OnTick(std::time_t now, bool bJobRunning) {
  Tick tick;
  if (rule_.bTimeBased) {
    const int64_t secs = now - dtRelativeTarget_;
    if (bJobRunning) {
      if (secs >= 0 && !rule_.bRunImmediately) SkipMissedRuns(now);
      return tick;
    }
    tick.remaining = CountdownOf(secs);
    if (secs < 0) return tick;
    dtRelativeTarget_ += rule_.lngIntervalSeconds;  // from the old target, not from now
    if (!rule_.bRunImmediately) SkipMissedRuns(now);
    tick.bRunJob = true;
    tick.remaining = {};
    return tick;
  }

  if (bJobRunning) return tick;
  // Targets whose minute is over were missed: move them on without a run.
  while (now - calendarDue_ >= 60) SetCalendarTarget(NextCalendarTarget(dtCalendarTarget_), calendarDue_ + 1);
  tick.remaining = CountdownOf(now - calendarDue_);
  if (now < calendarDue_) return tick;
  // The target minute itself: set the next target, then run (never on a
  // Saturday or Sunday for the every-weekday rule).
  const int wd = WeekdayOf(dtCalendarTarget_);
  const bool bWeekend = rule_.bDaily && rule_.bEveryWeekday && (wd == 1 || wd == 7);
  SetCalendarTarget(NextCalendarTarget(dtCalendarTarget_), calendarDue_ + 1);
  if (bWeekend) {
    tick.remaining = CountdownOf(now - calendarDue_);
    return tick;
  }
  tick.bRunJob = true;
  tick.remaining = {};
  return tick;
}

void ScheduleEngine::JobFinished(std::time_t now) {
  if (rule_.bTimeBased && !rule_.bRunImmediately) SkipMissedRuns(now);
}

void ScheduleEngine::SkipMissedRuns(std::time_t now) {
  if (now - dtRelativeTarget_ < 1) return;
  const int64_t steps = (now - dtRelativeTarget_ + rule_.lngIntervalSeconds - 1) / rule_.lngIntervalSeconds;
  dtRelativeTarget_ += steps * rule_.lngIntervalSeconds;
}

void ScheduleEngine::SetCalendarTarget(const LocalDateTime& target, std::time_t notBefore) {
  dtCalendarTarget_ = target;
  calendarDue_ = ResolveLocalTime(target, notBefore);
}

std::time_t ScheduleEngine::NextRun() const { return rule_.bTimeBased ? dtRelativeTarget_ : calendarDue_; }

}  // namespace tessa
