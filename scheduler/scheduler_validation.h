// Checking a schedule before it starts (and before it is saved): the codes
// and the messages of the scheduler dialog.
#pragma once

#include <string>

#include "scheduler/scheduler_fields.h"

namespace tessa {

// The time-based rule: blank interval boxes become "0"; 1, 2, 3 hours,
// minutes or seconds not a number >= 0; 4 all zero; 5 no part above zero, or
// an interval that rounds to 0 seconds or does not fit; then the job file,
// whose code replaces any earlier one: with sJobFile set, 7 when the box
// does not name an existing file; with sJobFile empty, the box's text
// becomes sJobFile, or 6 when the box is empty.
int ValidateTimeBased(SchedulerFields& f, std::string& sJobFile);

// The calendar rule: blank count boxes become "1". With sJobFile set: 111
// empty box, 112 missing file, 108 days, 109 weeks not a whole number of at
// least 1, 114 day of month not 1 to 31, 115 months not 1 to 12 (the first
// failure wins). With sJobFile empty: the box's text becomes sJobFile (no
// further test), or 110. Weekly with no weekday ticked shows "Please select
// day(s) of the week to run the job." and gives 113.
int ValidateCalendarBased(SchedulerFields& f, std::string& sJobFile);

// The check of the chosen family: 0 or a code above.
int ValidateSchedule(SchedulerFields& f, std::string& sJobFile);

// The (untranslated) message of a code; "" for 0 and 113.
std::string SchedulerErrorText(int code);

}  // namespace tessa
