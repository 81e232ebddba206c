#include "engine/run_clock.h"

#include <chrono>
#include <charconv>

namespace tessa {

int64_t TickCountMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::string FormatOneDecimal(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 1);
  return result.ec == std::errc() ? std::string(buffer, result.ptr) : std::string("0.0");
}

std::string ElapsedSecondsText(int64_t lStartTick) {
  return FormatOneDecimal(static_cast<double>(TickCountMs() - lStartTick) / 1000.0);
}

}  // namespace tessa
