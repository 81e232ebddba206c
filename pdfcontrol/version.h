// The control's own version, shown in the about box and written as the PDF
// producer.
#pragma once

#include <string>

namespace quirepane {

inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;
inline constexpr int kVersionRevision = 0;

// "Corvane, Quirepane v<major>.<minor>", the producer of every PDF written.
inline std::string ProducerText() {
  return "Corvane, Quirepane v" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor);
}

// "Quirepane  v<major>.<minor>.<revision>", the about box's version line.
inline std::string AboutVersionText() {
  return "Quirepane  v" + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
         std::to_string(kVersionRevision);
}

}  // namespace quirepane
