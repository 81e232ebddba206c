#include "engine/run/run_clock.h"

#include <charconv>

#include "platform/tick_count.h"

namespace tessa {

std::string FormatOneDecimal(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0.0");
}

std::string ElapsedSecondsText(int64_t lStartTick) {
  return FormatOneDecimal(static_cast<double>(GetTickCount() - lStartTick) / 1000.0);
}

}  // namespace tessa
