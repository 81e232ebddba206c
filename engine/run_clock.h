// The run's millisecond tick count and the elapsed-seconds text shown in the
// status bar while a run goes.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// Milliseconds of a steady clock; only differences mean anything.
int64_t TickCountMs();

// (now - lStartTick) / 1000 with one decimal ("12.3"), whatever the locale.
std::string ElapsedSecondsText(int64_t lStartTick);

// value with one decimal ("7.5"), whatever the locale.
std::string FormatOneDecimal(double value);

}  // namespace tessa
