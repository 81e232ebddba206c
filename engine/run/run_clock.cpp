#include "engine/run/run_clock.h"

#include <charconv>
#include <cmath>

#include "platform/tick_count.h"

namespace tessa {

std::string FormatOneDecimal(double value) {
  if (!std::isfinite(value)) return "0.0";
  // The shortest decimal text that reads back as value: 6.25 stays "6.25",
  // so the rounding below sees the decimal digits, not the binary value.
  char buffer[400];
  const auto written = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value), std::chars_format::fixed);
  if (written.ec != std::errc()) return "0.0";
  const std::string text(buffer, written.ptr);
  const size_t point = text.find('.');
  std::string digits = text.substr(0, point);  // whole part, then the tenths digit
  digits += point == std::string::npos || point + 1 >= text.size() ? '0' : text[point + 1];
  if (point != std::string::npos && point + 2 < text.size() && text[point + 2] >= '5') {
    size_t i = digits.size();
    while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
    if (i == 0) {
      digits.insert(digits.begin(), '1');
    } else {
      ++digits[i - 1];
    }
  }
  std::string result = digits.substr(0, digits.size() - 1) + "." + digits.back();
  if (value < 0 && result.find_first_not_of("0.") != std::string::npos) result.insert(result.begin(), '-');
  return result;
}

std::string FormatElapsedSeconds(int64_t milliseconds) {
  return FormatOneDecimal(static_cast<double>(milliseconds < 0 ? 0 : milliseconds) / 1000.0);
}

std::string ElapsedSecondsText(int64_t lStartTick) { return FormatElapsedSeconds(GetTickCount() - lStartTick); }

}  // namespace tessa
