// The scheduler's timing engine: turns a rule (an interval, or a daily,
// weekly or monthly calendar rule at a time of day) into targets, and on each
// tick says whether a run is due and how far away the target is. It reads no
// clock of its own: every call is given the current moment.
#pragma once

#include <array>
#include <cstdint>
#include <ctime>

#include "platform/clock.h"

namespace tessa {

struct ScheduleRule {
  // Time based: every lngIntervalSeconds (at least 1), counted from the
  // previous target; bRunImmediately runs missed targets one per tick once
  // the job is free, otherwise they are skipped.
  bool bTimeBased = false;
  bool bRunImmediately = true;
  int32_t lngIntervalSeconds = 0;

  // Calendar based, at iTargetHour:iTargetMinute (24-hour) local time.
  bool bDaily = true, bWeekly = false, bMonthly = false;
  bool bEveryNDays = true, bEveryWeekday = false;  // the two daily forms
  int intDaysInterval = 1;
  int intWeeksInterval = 1;
  int intMonthsInterval = 1;
  int iDayOfMonth = 1;                  // 1 to 31; a shorter month runs on its last day
  std::array<bool, 7> weekdays{};       // ticked weekdays, [0] Sunday ... [6] Saturday
  int iTargetHour = 0, iTargetMinute = 0;
};

// The distance between now and a target, as magnitudes.
struct Countdown {
  int32_t lngDays = 0, lngHours = 0, lngMinutes = 0, lngSeconds = 0;
  bool operator==(const Countdown&) const = default;
};

// The countdown of `seconds` (either sign).
Countdown CountdownOf(int64_t seconds);

class ScheduleEngine {
 public:
  struct Tick {
    bool bRunJob = false;  // raise the run now; the next target is already set
    Countdown remaining;   // all zero while a job is running or starting
  };

  // Arms rule at now: the first target is one interval after now (time
  // based), or the first calendar target by the rule. Rule counts below 1
  // are taken as 1.
  void Start(const ScheduleRule& rule, std::time_t now);

  // One tick at now. Nothing starts while bJobRunning. A target fires at most
  // once; a calendar target whose minute has passed (the machine slept, or a
  // job was running) moves on by the rule without a run; in skip mode an
  // interval target that a running job overran moves on the same way.
  Tick OnTick(std::time_t now, bool bJobRunning);

  // To be called when a run that OnTick raised has ended: in skip mode the
  // targets it overran are dropped.
  void JobFinished(std::time_t now);

  // The next due moment.
  std::time_t NextRun() const;

  // The first calendar target computed by Start, and the time of day (on
  // day zero) of the rule: both are kept in the settings file.
  LocalDateTime dtTargetComplete;
  LocalDateTime dtUserTargetTime;

  // Set when the window loads: the first weekly calculation after it starts
  // a new week without the N-week step. Every weekly calculation clears it.
  bool bFirstWeeklyCalc = true;

  // The next weekly target after the date `from` (whose target time has
  // passed when bTimePassed).
  LocalDateTime WeeklyFindNextTargetDate(const LocalDateTime& from, bool bTimePassed);

 private:
  void SkipMissedRuns(std::time_t now);
  LocalDateTime FindFirstCalendarTarget(std::time_t now);
  LocalDateTime MonthlyTarget(int year, int month) const;
  LocalDateTime NextCalendarTarget(const LocalDateTime& fired);
  // Sets the calendar target and the moment it comes, the first one at or
  // after notBefore when the clock shows it twice.
  void SetCalendarTarget(const LocalDateTime& target, std::time_t notBefore);

  ScheduleRule rule_;
  std::time_t dtRelativeTarget_ = 0;
  LocalDateTime dtCalendarTarget_;
  std::time_t calendarDue_ = 0;  // the moment dtCalendarTarget_ comes
  int intNextWeekday_ = 0;
};

}  // namespace tessa
