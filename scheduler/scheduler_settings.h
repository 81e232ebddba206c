// The scheduler's section [frmScheduler] of the settings file: the dialog's
// controls, the chosen job file and the two dates of the last schedule.
#pragma once

#include "platform/clock.h"
#include "scheduler/scheduler_fields.h"

namespace tessa {

inline constexpr const char* kSchedulerSection = "frmScheduler";

// Reads the section into f and the two dates (defaults for missing keys; a
// Boolean or check value that is neither a Boolean word nor a number keeps
// its default). Dates read in any of the forms ParseDateText knows.
void ReadIniFileScheduler(SchedulerFields& f, LocalDateTime& dtUserTargetTime, LocalDateTime& dtTargetComplete);

// Writes every key of the section: options "True"/"False", check boxes "0"
// or "1", texts as they stand, dates in the general form with four-digit
// years. Nothing is written in a command-line or automation run.
void WriteIniFileScheduler(const SchedulerFields& f, const LocalDateTime& dtUserTargetTime,
                           const LocalDateTime& dtTargetComplete);

// Writes chkPersistRunning = "0" only (an invalid rule is never restarted).
void WritePersistRunningOff();

// True when [frmScheduler] chkPersistRunning asks for the schedule to be
// restarted at program load.
bool bPersistRunningSaved();

}  // namespace tessa
