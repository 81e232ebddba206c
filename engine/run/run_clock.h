// The one-decimal numbers of a run ("##0.0" and "#0.0"): the elapsed seconds
// in the status bar and the command-line log, and the percent done.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// value with one decimal and at least one digit before the point ("7.5",
// "0.3"), whatever the locale. It is rounded on its decimal digits, half
// away from zero, as those formats do: 6.25 gives "6.3", -0.25 "-0.3".
// Infinite and undefined values give "0.0".
std::string FormatOneDecimal(double value);

// A duration in milliseconds as seconds with one decimal (250 -> "0.3");
// a negative duration counts as 0.
std::string FormatElapsedSeconds(int64_t milliseconds);

// The seconds from lStartTick to the tick count now, as FormatElapsedSeconds.
std::string ElapsedSecondsText(int64_t lStartTick);

}  // namespace tessa
