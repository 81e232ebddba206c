#include "scheduler/schedule_engine.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "common/date_helpers.h"
#include "engine/job/task_list.h"
#include "scheduler/local_time.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

// Central European time: summer time from the last Sunday of March 02:00
// (to 03:00) to the last Sunday of October 03:00 (back to 02:00).
constexpr const char* kBerlin = "CET-1CEST,M3.5.0,M10.5.0/3";

struct LocalZone {
  explicit LocalZone(const char* tz) : env_(std::make_unique<test::ScopedEnv>("TZ", tz)) { tzset(); }
  ~LocalZone() {
    env_.reset();
    tzset();
  }
  std::unique_ptr<test::ScopedEnv> env_;
};

LocalDateTime At(const std::string& text) { return *ParseDateText(text); }
std::time_t Moment(const std::string& text) { return ResolveLocalTime(At(text)); }

std::string Minute(std::time_t t) {
  const LocalDateTime l = LocalTimeOf(t);
  char s[32];
  std::snprintf(s, sizeof s, "%04d-%02d-%02d %02d:%02d", l.year, l.month, l.day, l.hour, l.minute);
  return s;
}

// Ticks the engine every `step` seconds from `start` for `days`; a run keeps
// the job busy for jobSeconds; no ticks come while the machine sleeps.
struct Simulation {
  int step = 37;
  int jobSeconds = 0;
  std::time_t sleepFrom = 0, sleepTo = 0;

  std::vector<std::time_t> Run(ScheduleEngine& engine, std::time_t start, int64_t seconds, size_t maxRuns) const {
    std::vector<std::time_t> runs;
    std::time_t busyUntil = 0;
    bool finishPending = false;
    for (std::time_t now = start; now <= start + seconds && runs.size() < maxRuns; now += step) {
      if (now >= sleepFrom && now < sleepTo) continue;
      if (finishPending && now >= busyUntil) {
        engine.JobFinished(busyUntil);
        finishPending = false;
      }
      if (engine.OnTick(now, now < busyUntil).bRunJob) {
        runs.push_back(now);
        busyUntil = now + jobSeconds;
        finishPending = jobSeconds > 0;
      }
    }
    return runs;
  }
};

ScheduleRule Calendar(int hour, int minute) {
  ScheduleRule r;
  r.iTargetHour = hour, r.iTargetMinute = minute;
  return r;
}
ScheduleRule EveryNDays(int n, int hour, int minute = 0) {
  ScheduleRule r = Calendar(hour, minute);
  r.intDaysInterval = n;
  return r;
}
ScheduleRule EveryWeekday(int hour) {
  ScheduleRule r = Calendar(hour, 0);
  r.bEveryNDays = false, r.bEveryWeekday = true;
  return r;
}
ScheduleRule Weekly(std::initializer_list<int> weekdays, int weeks, int hour) {
  ScheduleRule r = Calendar(hour, 0);
  r.bDaily = false, r.bWeekly = true, r.intWeeksInterval = weeks;
  for (int wd : weekdays) r.weekdays[static_cast<size_t>(wd - 1)] = true;
  return r;
}
ScheduleRule Monthly(int day, int months, int hour) {
  ScheduleRule r = Calendar(hour, 0);
  r.bDaily = false, r.bMonthly = true, r.iDayOfMonth = day, r.intMonthsInterval = months;
  return r;
}

enum { Sun = 1, Mon, Tue, Wed, Thu, Fri, Sat };

struct CalendarCase {
  const char* name;
  ScheduleRule rule;
  const char* start;  // month/day/year time
  std::vector<std::string> runs;
  const char* sleepFrom = nullptr;
  const char* sleepTo = nullptr;
  int startShift = 0;  // seconds added to start: 3600 is a repeated hour's second pass
};

TEST(ScheduleEngineTest, CalendarRulesRunOnceInEachTargetMinute) {
  LocalZone zone(kBerlin);
  const std::vector<CalendarCase> cases = {
      {"daily", EveryNDays(1, 21), "1/5/2026 10:00:00", {"2026-01-05 21:00", "2026-01-06 21:00", "2026-01-07 21:00"}},
      {"every 2 days, started after the time", EveryNDays(2, 21), "1/5/2026 22:00:00",
       {"2026-01-06 21:00", "2026-01-08 21:00", "2026-01-10 21:00"}},
      {"every weekday from a Friday evening", EveryWeekday(9), "1/9/2026 10:00:00",
       {"2026-01-12 09:00", "2026-01-13 09:00", "2026-01-14 09:00", "2026-01-15 09:00", "2026-01-16 09:00",
        "2026-01-19 09:00"}},
      {"Mon+Wed every 2 weeks from a Tuesday", Weekly({Mon, Wed}, 2, 9), "1/6/2026 08:00:00",
       {"2026-01-07 09:00", "2026-01-19 09:00", "2026-01-21 09:00", "2026-02-02 09:00"}},
      {"Mon+Wed every 2 weeks from a Thursday", Weekly({Mon, Wed}, 2, 9), "1/8/2026 08:00:00",
       {"2026-01-12 09:00", "2026-01-14 09:00", "2026-01-26 09:00", "2026-01-28 09:00"}},
      {"only today ticked, started after its time", Weekly({Thu}, 2, 9), "1/8/2026 10:00:00",
       {"2026-01-15 09:00", "2026-01-29 09:00"}},
      {"day 31 across short months", Monthly(31, 1, 9), "1/10/2026 08:00:00",
       {"2026-01-31 09:00", "2026-02-28 09:00", "2026-03-31 09:00", "2026-04-30 09:00"}},
      {"day 31 on the 31st after its time, leap February", Monthly(31, 1, 9), "1/31/2028 10:00:00",
       {"2028-02-29 09:00", "2028-03-31 09:00"}},
      {"every 3 months", Monthly(15, 3, 9), "1/20/2026 08:00:00",
       {"2026-02-15 09:00", "2026-05-15 09:00", "2026-08-15 09:00"}},
      {"spring change: a skipped time runs at the first minute after it", EveryNDays(1, 2, 30),
       "3/27/2026 12:00:00", {"2026-03-28 02:30", "2026-03-29 03:00", "2026-03-30 02:30"}},
      {"spring change keeps the wall-clock time", EveryNDays(1, 21), "3/28/2026 12:00:00",
       {"2026-03-28 21:00", "2026-03-29 21:00", "2026-03-30 21:00"}},
      {"autumn change: a repeated time runs once", EveryNDays(1, 2, 30), "10/24/2026 12:00:00",
       {"2026-10-25 02:30", "2026-10-26 02:30"}},
      {"autumn change: begun in the repeated hour's second pass, it runs in that pass", EveryNDays(1, 2, 30),
       "10/25/2026 02:10:00", {"2026-10-25 02:30", "2026-10-26 02:30"}, nullptr, nullptr, 3600},
      {"autumn change: begun in the target minute's second pass, it runs at once", Monthly(25, 1, 2),
       "10/25/2026 02:00:20", {"2026-10-25 02:00", "2026-11-25 02:00"}, nullptr, nullptr, 3600},
      {"a weekly target slept through moves on", Weekly({Mon}, 1, 9), "1/4/2026 10:00:00",
       {"2026-01-12 09:00", "2026-01-19 09:00"}, "1/5/2026 08:00:00", "1/5/2026 12:00:00"},
      {"a monthly target slept through moves on", Monthly(5, 1, 9), "1/4/2026 10:00:00",
       {"2026-02-05 09:00"}, "1/5/2026 08:00:00", "1/6/2026 12:00:00"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScheduleEngine engine;
    const std::time_t start = Moment(c.start) + c.startShift;
    engine.Start(c.rule, start);
    Simulation sim;
    if (c.sleepFrom) sim.sleepFrom = Moment(c.sleepFrom), sim.sleepTo = Moment(c.sleepTo);
    std::vector<std::string> runs;
    for (std::time_t t : sim.Run(engine, start, 250LL * 86400, c.runs.size())) runs.push_back(Minute(t));
    EXPECT_EQ(runs, c.runs);
  }
}

struct IntervalCase {
  const char* name;
  int interval;
  bool immediately;
  int jobSeconds;
  const char* start;
  std::vector<int> runs;  // seconds after the start
};

TEST(ScheduleEngineTest, IntervalRulesCountElapsedTimeFromThePreviousTarget) {
  LocalZone zone(kBerlin);
  const std::vector<IntervalCase> cases = {
      {"every 10 s", 10, true, 0, "1/5/2026 10:00:00", {10, 20, 30, 40}},
      {"a 35 s job, immediately: missed runs follow when it ends", 10, true, 35, "1/5/2026 10:00:00",
       {10, 45, 80, 115}},
      {"a 35 s job, skip: overrun targets are dropped", 10, false, 35, "1/5/2026 10:00:00", {10, 50, 90, 130}},
      {"hourly across the spring change", 3600, true, 0, "3/29/2026 00:30:00", {3600, 7200, 10800}},
      {"half-hourly across the autumn change", 1800, false, 0, "10/25/2026 01:30:00", {1800, 3600, 5400, 7200}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScheduleRule rule;
    rule.bTimeBased = true, rule.lngIntervalSeconds = c.interval, rule.bRunImmediately = c.immediately;
    ScheduleEngine engine;
    const std::time_t start = Moment(c.start);
    engine.Start(rule, start);
    Simulation sim;
    sim.step = 1, sim.jobSeconds = c.jobSeconds;
    std::vector<int> runs;
    for (std::time_t t : sim.Run(engine, start, 4LL * c.interval + 200, c.runs.size()))
      runs.push_back(static_cast<int>(t - start));
    EXPECT_EQ(runs, c.runs);
  }
}

TEST(ScheduleEngineTest, CountdownShowsTheDistanceAndJobIsRunningWhileAJobGoes) {
  ScheduleRule rule;
  rule.bTimeBased = true, rule.lngIntervalSeconds = 2 * 3600 + 6;
  ScheduleEngine engine;
  engine.Start(rule, 1000);
  auto caption = [](const ScheduleEngine::Tick& t) {
    const Countdown& c = t.remaining;
    return TimeRemainingCaption(c.lngDays, c.lngHours, c.lngMinutes, c.lngSeconds);
  };
  EXPECT_EQ(caption(engine.OnTick(1001, false)), "2 hours : 5 seconds before next run.");
  EXPECT_EQ(caption(engine.OnTick(1001 + 86400, true)), "Job is Running");
  const auto due = engine.OnTick(1000 + rule.lngIntervalSeconds, false);
  EXPECT_TRUE(due.bRunJob);
  EXPECT_EQ(caption(due), "Job is Running");
  EXPECT_EQ(engine.NextRun(), 1000 + 2 * rule.lngIntervalSeconds);  // set before the job starts
  EXPECT_EQ(CountdownOf(-(86400 + 61)), (Countdown{1, 0, 1, 1}));
}

}  // namespace
}  // namespace tessa
