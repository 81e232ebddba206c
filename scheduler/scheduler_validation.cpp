#include "scheduler/scheduler_validation.h"

#include <cmath>
#include <cstdint>

#include "common/file_helpers.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

bool bNumeric(const std::string& s) { return ParseVbNumber(s).has_value(); }

// A count box taken as a whole number (rounded half to even) of at least 1
// that fits 16 bits: a value such as 0.4 passes "above zero" but would
// count 0 and never move the target.
bool bValidCount(const std::string& s) {
  if (!bNumeric(s) || ValText(s) <= 0) return false;
  const double whole = std::nearbyint(ValText(s));
  return whole >= 1 && whole <= INT16_MAX;
}

bool bInRange(const std::string& s, double low, double high) {
  const double v = ValText(s);
  return v >= low && v <= high;
}

std::string JobFilePath(const std::string& box) { return TypedPath(box); }

}  // namespace

int64_t GetIntervalSeconds(const SchedulerFields& f) {
  const double total =
      ValText(f.txtHours) * 3600.0 + ValText(f.txtMinutes) * 60.0 + ValText(f.txtSeconds);
  const double rounded = std::nearbyint(total);
  if (!std::isfinite(rounded) || rounded > INT32_MAX || rounded < INT32_MIN) return -1;
  return static_cast<int64_t>(rounded);
}

ScheduleRule RuleFromFields(const SchedulerFields& f) {
  ScheduleRule r;
  r.bTimeBased = f.optTimeBased;
  r.bRunImmediately = f.optImmediately;
  r.lngIntervalSeconds = static_cast<int32_t>(std::max<int64_t>(GetIntervalSeconds(f), 0));
  r.bDaily = f.optDaily, r.bWeekly = f.optWeekly, r.bMonthly = f.optMonthly;
  r.bEveryNDays = f.optNumDays, r.bEveryWeekday = f.optWeekdays;
  r.intDaysInterval = static_cast<int>(std::nearbyint(ValText(f.txtNumDays)));
  r.intWeeksInterval = static_cast<int>(std::nearbyint(ValText(f.txtNumWeeks)));
  r.intMonthsInterval = static_cast<int>(std::nearbyint(ValText(f.txtNumMonths)));
  r.iDayOfMonth = static_cast<int>(ValText(f.txtDayOfMonth));
  r.weekdays = f.chkDays;
  const int hour12 = static_cast<int>(ValText(f.cbHours)) % 12;
  r.iTargetHour = hour12 + (f.cbAmPm == "PM" ? 12 : 0);
  r.iTargetMinute = static_cast<int>(ValText(f.cbMinutes)) % 60;
  return r;
}

int ValidateTimeBased(SchedulerFields& f, std::string& sJobFile) {
  int code = 0;
  std::string* boxes[] = {&f.txtHours, &f.txtMinutes, &f.txtSeconds};
  for (std::string* box : boxes)
    if (box->empty() || *box == " ") *box = "0";
  for (int i = 0; i < 3 && code == 0; ++i)
    if (!bNumeric(*boxes[i]) || ValText(*boxes[i]) < 0) code = i + 1;
  if (code == 0) {
    const bool allZero = ValText(f.txtHours) == 0 && ValText(f.txtMinutes) == 0 && ValText(f.txtSeconds) == 0;
    if (allZero) code = 4;
    else if (GetIntervalSeconds(f) < 1) code = 5;  // also "none above zero"
  }
  if (!sJobFile.empty()) {
    if (!bFileExists(JobFilePath(f.cbScheduledJobFile))) code = 7;
  } else if (!f.cbScheduledJobFile.empty()) {
    sJobFile = f.cbScheduledJobFile;
  } else {
    code = 6;
  }
  return code;
}

int ValidateCalendarBased(SchedulerFields& f, std::string& sJobFile) {
  for (std::string* box : {&f.txtNumDays, &f.txtNumWeeks, &f.txtDayOfMonth, &f.txtNumMonths})
    if (TrimBlanks(*box).empty()) *box = "1";
  int code = 0;
  if (!sJobFile.empty()) {
    if (f.cbScheduledJobFile.empty()) code = 111;
    else if (!bFileExists(JobFilePath(f.cbScheduledJobFile))) code = 112;
    else if (!bValidCount(f.txtNumDays)) code = 108;
    else if (!bValidCount(f.txtNumWeeks)) code = 109;
    else if (!bInRange(f.txtDayOfMonth, 1, 31)) code = 114;
    else if (!bInRange(f.txtNumMonths, 1, 12)) code = 115;
  } else if (!f.cbScheduledJobFile.empty()) {
    sJobFile = f.cbScheduledJobFile;
  } else {
    code = 110;
  }
  if (f.optWeekly && code == 0) {
    bool any = false;
    for (bool b : f.chkDays) any = any || b;
    if (!any) {
      CurrentUserInterface().MsgBox(Translate("Please select day(s) of the week to run the job."), vbOKOnly, "");
      code = 113;
    }
  }
  return code;
}

int ValidateSchedule(SchedulerFields& f, std::string& sJobFile) {
  if (f.optTimeBased) return ValidateTimeBased(f, sJobFile);
  if (f.optCalendarBased) return ValidateCalendarBased(f, sJobFile);
  return 0;
}

std::string SchedulerErrorText(int code) {
  switch (code) {
    case 1: return "Invalid time for hours";
    case 2: return "Invalid time for minutes";
    case 3: return "Invalid time for seconds";
    case 4: return "Please enter a time interval";
    case 5: return "Please enter a valid time interval.";
    case 6: case 110: return "Please enter a job file";
    case 7: case 112: return "Job file does not exist";
    case 108: return "Invalid number of days entered.";
    case 109: return "Invalid number of weeks entered.";
    case 111: return "Please select a job file";
    case 114: return "Date must be between 1 and 31";
    case 115: return "Number of months must be between 1 and 12";
    default: return "";
  }
}

}  // namespace tessa
