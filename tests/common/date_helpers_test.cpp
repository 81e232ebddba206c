#include "common/date_helpers.h"

#include <gtest/gtest.h>

#include "support/scripted_user_interface.h"

namespace tessa {
namespace {

using test::ScriptedUserInterface;

struct ClockAt {
  explicit ClockAt(LocalDateTime t) { SetClockSource([t] { return t; }); }
  ~ClockAt() { SetClockSource({}); }
};

std::string Text(const LocalDateTime& t) { return FormatGeneralDate(t); }

TEST(DateHelpersTest, DateDiffCountsBoundariesWhateverTheTextForm) {
  ScriptedUserInterface ui;
  struct Case {
    const char *unit, *date1, *date2;
    int32_t expected;
  } cases[] = {
      {"s", "1/1/2026 10:00:00", "1/1/2026 10:00:05", 5},
      {"s", "1/1/2026 10:00:05", "1/1/2026 10:00:00", -5},
      {"n", "10:00:59", "10:01:00", 1},
      {"s", "31.12.2025 23:59:59", "1.1.2026 00:00:00", 1},        // dotted, day first
      {"s", "31.12.2025 23.59.59", "2026-01-01 12:00:00 AM", 1},   // dotted time
      {"d", "2/28/2028 11:00:00 PM", "3/1/2028 1:00:00 AM", 2},    // leap day crossed
      {"m", "1/31/2026", "2/1/2026", 1},
      {"ww", "1/10/2026", "1/11/2026", 1},                          // Saturday to Sunday
      {"s", " ", "1/1/2026", 0},                                    // blank: no message
  };
  for (const auto& c : cases)
    EXPECT_EQ(DateDiffRegionalSafe(c.unit, c.date1, c.date2), c.expected) << c.unit << " " << c.date1;
  EXPECT_TRUE(ui.boxes.empty());
  EXPECT_EQ(DateDiffRegionalSafe("s", "soon", "1/1/2026"), 0);
  EXPECT_EQ(DateDiffRegionalSafe("s", "1/1/1900", "1/1/2026"), 0);  // does not fit 32 bits
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].prompt, "DateDiffRegionalSafe() Error. Date1: soon Date2: 1/1/2026");
  EXPECT_EQ(ui.boxes[1].prompt, "DateDiffRegionalSafe() Error. Date1: 1/1/1900 Date2: 1/1/2026");
}

TEST(DateHelpersTest, StringToDateReadsEveryFormAndFallsBackToNow) {
  ScriptedUserInterface ui;
  LocalDateTime now{2026, 7, 4, 9, 30, 0};
  ClockAt clock(now);
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"1/1/2000 12:00:00 AM", "1/1/2000 12:00:00 AM"},
      {"24.12.2025 21.05.00", "12/24/2025 9:05:00 PM"},
      {"31/12/2025 21:05:00", "12/31/2025 9:05:00 PM"},  // day first when it cannot be a month
      {"2031-07-04 12:30:00 PM", "7/4/2031 12:30:00 PM"},
      {"1/2/31", "1/2/1931 12:00:00 AM"},
      {"9:05:00 PM", "9:05:00 PM"},                       // a time alone
      {"", "7/4/2026 9:30:00 AM"},
  };
  for (const auto& c : cases) EXPECT_EQ(Text(StringToDate(c.in)), c.out) << c.in;
  EXPECT_TRUE(ui.boxes.empty());
  for (const char* bad : {"13/13/2026", "2/30/2026", "tomorrow"}) {
    EXPECT_EQ(Text(StringToDate(bad)), "7/4/2026 9:30:00 AM");
    EXPECT_EQ(ui.boxes.back().prompt, std::string("StringToDate() Error. DateIn: ") + bad);
  }
  EXPECT_EQ(NormalizeDottedDate("24.12.25 21.05.00"), "12/24/2025 21:5:0");
  EXPECT_EQ(NormalizeDottedDate("1/1/2026"), "");
}

TEST(DateHelpersTest, MakeValidDateStringStopsAtTheMonthsLastDayAndRefusesImpossibleParts) {
  struct Case {
    const char *month, *day, *year, *expected;
  } cases[] = {
      {"2", "31", "2026", "2/28/2026 9:5:00"}, {"2", "30", "2028", "2/29/2028 9:5:00"},
      {"4", "31", "2026", "4/30/2026 9:5:00"}, {"12", "31", "2026", "12/31/2026 9:5:00"},
      {"13", "1", "2026", ""},                 {"0", "1", "2026", ""},
      {"1", "0", "2026", ""},                  {"1", "x", "2026", ""},
      {"1", "05", "2026", "1/05/2026 9:5:00"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(MakeValidDateString(c.month, c.day, c.year, "9:5:00"), c.expected) << c.month << "/" << c.day;
}

TEST(DateHelpersTest, CalendarArithmeticClampsMonthsAndNumbersWeekdaysFromSunday) {
  EXPECT_EQ(Text(AddMonths(*ParseDateText("1/31/2026 9:00:00 PM"), 1)), "2/28/2026 9:00:00 PM");
  EXPECT_EQ(Text(AddMonths(*ParseDateText("11/30/2026"), 3)), "2/28/2027 12:00:00 AM");
  EXPECT_EQ(Text(AddDays(*ParseDateText("12/31/2026 1:00:00 AM"), 1)), "1/1/2027 1:00:00 AM");
  EXPECT_EQ(WeekdayOf(*ParseDateText("1/11/2026")), 1);  // a Sunday
  EXPECT_EQ(WeekdayOf(*ParseDateText("1/10/2026")), 7);  // a Saturday
}

}  // namespace
}  // namespace tessa
