// Date texts that read the same whatever the user's locale (month/day/year as
// the program writes them, day.month.year as some regional settings produce,
// year-month-day), differences between dates in calendar units, and the
// calendar arithmetic the scheduler's rules are built from.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/clock.h"

namespace tessa {

// Days from 1 January 1970 to a date of the Gregorian calendar, and back
// (the time of the result is 00:00:00).
int64_t DaysFromCivil(int year, int month, int day);
LocalDateTime CivilFromDays(int64_t days);

// The number of days of a month; 0 for a month outside 1 to 12.
int DaysInMonth(int year, int month);

// The weekday of t's date: 1 = Sunday ... 7 = Saturday.
int WeekdayOf(const LocalDateTime& t);

// True when t names a real date (years 100 to 9999) and time of day.
bool IsValidDateTime(const LocalDateTime& t);

// t's date moved by n calendar days, its time of day kept.
LocalDateTime AddDays(const LocalDateTime& t, int64_t n);

// t's date moved by n calendar months, the day cut to the new month's last
// day (31 January plus one month is 28 or 29 February), time kept.
LocalDateTime AddMonths(const LocalDateTime& t, int n);

// t as seconds of the wall clock since 1 January 1970 00:00 (no time zone:
// every day has 86400 of them).
int64_t WallClockSeconds(const LocalDateTime& t);

// Reads a date text: "12/31/2025" (month first; the day first when the first
// number cannot be a month), "31.12.2025" (day first), "2025-12-31", each
// optionally followed by a blank and a time "9:05:00 PM", "21:05" or
// "21.05.00"; or a time alone (on 30 December 1899, the date of day zero).
// Two-digit years 00-29 are 2000-2029, 30-99 are 1930-1999. nullopt for
// anything else.
std::optional<LocalDateTime> ParseDateText(std::string_view text);

// t in the general form the program writes: "1/31/2026 9:05:00 PM", always
// with a four-digit year; a value on day zero (30 December 1899) as its time
// alone.
std::string FormatGeneralDate(const LocalDateTime& t);

// date2 minus date1 in units of sInterval: "s" seconds, "n" minutes, "h"
// hours, "d" or "y" days, "w" whole weeks, "ww" Sundays crossed, "m" months,
// "q" quarters, "yyyy" years; units are counted by boundaries crossed on the
// wall clock. A blank text gives 0 at once; a text that is not a date (after
// NormalizeDottedDate), an unknown interval or a difference that does not
// fit 32 bits shows "DateDiffRegionalSafe() Error. Date1: ... Date2: ..."
// and gives 0.
int32_t DateDiffRegionalSafe(const std::string& sInterval, const std::string& date1,
                             const std::string& date2);
int32_t DateDiffRegionalSafe(const std::string& sInterval, const LocalDateTime& date1,
                             const LocalDateTime& date2);

// A dotted day.month.year text (optionally with a dotted time) rewritten as
// "mm/dd/yyyy h:m:s"; "" for a text without "."; the text with "." turned
// into "/" when it still is not a date.
std::string NormalizeDottedDate(const std::string& text);

// The date-time of a date text; the current date and time for a blank text,
// and, after the message "StringToDate() Error. DateIn: " and the text, for
// one that is not a date.
LocalDateTime StringToDate(const std::string& text);

// sMonth/day/sYear, a blank and sTime, the day lowered from sDay to the
// month's last day when the month is shorter (day 31 of April gives the
// 30th). "" when the month is not 1 to 12, the year not a year or the day
// below 1.
std::string MakeValidDateString(const std::string& sMonth, const std::string& sDay,
                                const std::string& sYear, const std::string& sTime);

}  // namespace tessa
