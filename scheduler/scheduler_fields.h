// The values of the scheduler dialog's controls, as the dialog shows them:
// what its settings section stores, what validation checks and what a
// schedule is built from.
#pragma once

#include <array>
#include <string>

#include "scheduler/schedule_engine.h"

namespace tessa {

struct SchedulerFields {
  std::string cbScheduledJobFile;
  bool optTimeBased = false, optCalendarBased = true;
  std::string txtHours = "0", txtMinutes = "0", txtSeconds = "0";
  bool optImmediately = true, optSkip = false;
  bool optDaily = true, optWeekly = false, optMonthly = false;
  std::string cbHours = "12", cbMinutes = "00", cbAmPm = "AM";
  bool optNumDays = true, optWeekdays = false;
  std::string txtNumDays = "1", txtNumWeeks = "1";
  std::array<bool, 7> chkDays{};  // chkSun ... chkSat
  std::string txtDayOfMonth = "1", txtNumMonths = "1";
  bool chkPersistRunning = false;
};

// The names of the weekday boxes, Sunday first.
inline constexpr std::array<const char*, 7> kWeekdayBoxes = {"chkSun", "chkMon", "chkTue", "chkWed",
                                                             "chkThu", "chkFri", "chkSat"};

// The interval of the time-based rule in seconds: hours * 3600 + minutes *
// 60 + seconds, each by its leading number, the sum rounded (half to even);
// -1 when it does not fit 32 bits.
int64_t GetIntervalSeconds(const SchedulerFields& f);

// The rule the fields describe (after validation).
ScheduleRule RuleFromFields(const SchedulerFields& f);

}  // namespace tessa
