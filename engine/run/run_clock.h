// The elapsed-seconds text shown in the status bar while a run goes.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// (GetTickCount() - lStartTick) / 1000 with one decimal ("12.3"), whatever
// the locale.
std::string ElapsedSecondsText(int64_t lStartTick);

// value with one decimal ("7.5"), whatever the locale.
std::string FormatOneDecimal(double value);

}  // namespace tessa
