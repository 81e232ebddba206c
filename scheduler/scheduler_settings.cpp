#include "scheduler/scheduler_settings.h"

#include "common/date_helpers.h"
#include "common/program_modes.h"
#include "common/settings_file.h"
#include "common/vb_conversions.h"
#include "platform/ini_file.h"

namespace tessa {

namespace {

const char* kDefaultDate = "1/1/2000 12:00:00 AM";

bool ReadOption(const char* key, bool def) {
  return CBoolText(ReadSetting(kSchedulerSection, key, def ? "TRUE" : "FALSE")).value_or(def);
}

bool ReadCheck(const char* key) {
  const auto v = ParseVbNumber(ReadSetting(kSchedulerSection, key, "0"));
  return v && *v != 0;
}

void ReadText(const char* key, std::string& value, const char* def) {
  value = ReadSetting(kSchedulerSection, key, def);
}

// Options as the original runtime wrote Booleans.
std::string OptionText(bool b) { return b ? "True" : "False"; }

}  // namespace

void ReadIniFileScheduler(SchedulerFields& f, LocalDateTime& dtUserTargetTime, LocalDateTime& dtTargetComplete) {
  f.optTimeBased = ReadOption("optTimeBased", false);
  f.optCalendarBased = ReadOption("optCalendarBased", true);
  ReadText("txtHours", f.txtHours, "0");
  ReadText("txtMinutes", f.txtMinutes, "0");
  ReadText("txtSeconds", f.txtSeconds, "0");
  f.optDaily = ReadOption("optDaily", true);
  f.optWeekly = ReadOption("optWeekly", false);
  f.optMonthly = ReadOption("optMonthly", false);
  ReadText("cbHours", f.cbHours, "12");
  ReadText("cbMinutes", f.cbMinutes, "00");
  ReadText("cbAmPm", f.cbAmPm, "AM");
  f.optNumDays = ReadOption("optNumDays", true);
  ReadText("txtNumDays", f.txtNumDays, "1");
  f.optWeekdays = ReadOption("optWeekdays", false);
  ReadText("txtNumWeeks", f.txtNumWeeks, "1");
  for (size_t i = 0; i < kWeekdayBoxes.size(); ++i) f.chkDays[i] = ReadCheck(kWeekdayBoxes[i]);
  ReadText("txtDayOfMonth", f.txtDayOfMonth, "1");
  ReadText("txtNumMonths", f.txtNumMonths, "1");
  f.chkPersistRunning = ReadCheck("chkPersistRunning");
  f.optImmediately = ReadOption("optImmediately", true);
  f.optSkip = ReadOption("optSkip", false);
  // The job file of the last schedule, so that a restored schedule runs the
  // same job.
  ReadText("cbScheduledJobFile", f.cbScheduledJobFile, "");
  dtUserTargetTime = StringToDate(ReadSetting(kSchedulerSection, "dtUserTargetTime", kDefaultDate));
  dtTargetComplete = StringToDate(ReadSetting(kSchedulerSection, "dtTargetComplete", kDefaultDate));
}

void WriteIniFileScheduler(const SchedulerFields& f, const LocalDateTime& dtUserTargetTime,
                           const LocalDateTime& dtTargetComplete) {
  if (bCommandLineMode || bAutomationMode) return;
  IniWriteLock lock(sIniFile);
  auto put = [](const char* key, const std::string& value) { WriteSetting(kSchedulerSection, key, value); };
  put("optTimeBased", OptionText(f.optTimeBased));
  put("optCalendarBased", OptionText(f.optCalendarBased));
  put("txtHours", f.txtHours);
  put("txtMinutes", f.txtMinutes);
  put("txtSeconds", f.txtSeconds);
  put("optImmediately", OptionText(f.optImmediately));
  put("optSkip", OptionText(f.optSkip));
  put("optDaily", OptionText(f.optDaily));
  put("optWeekly", OptionText(f.optWeekly));
  put("optMonthly", OptionText(f.optMonthly));
  put("cbHours", f.cbHours);
  put("cbMinutes", f.cbMinutes);
  put("cbAmPm", f.cbAmPm);
  put("optNumDays", OptionText(f.optNumDays));
  put("txtNumDays", f.txtNumDays);
  put("optWeekdays", OptionText(f.optWeekdays));
  put("txtNumWeeks", f.txtNumWeeks);
  for (size_t i = 0; i < kWeekdayBoxes.size(); ++i) put(kWeekdayBoxes[i], f.chkDays[i] ? "1" : "0");
  put("txtDayOfMonth", f.txtDayOfMonth);
  put("txtNumMonths", f.txtNumMonths);
  put("cbScheduledJobFile", f.cbScheduledJobFile);
  put("chkPersistRunning", f.chkPersistRunning ? "1" : "0");
  put("dtUserTargetTime", FormatGeneralDate(dtUserTargetTime));
  put("dtTargetComplete", FormatGeneralDate(dtTargetComplete));
}

void WritePersistRunningOff() {
  if (bCommandLineMode || bAutomationMode) return;
  WriteSetting(kSchedulerSection, "chkPersistRunning", "0");
}

bool bPersistRunningSaved() {
  const std::string v = ReadSetting(kSchedulerSection, "chkPersistRunning", "0");
  const auto n = ParseVbNumber(v);
  return n ? *n != 0 : v != "0" && !v.empty();
}

}  // namespace tessa
