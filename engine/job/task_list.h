// Adding the editor panel's task to the job, removing tasks, and the
// scheduler's two events. The commands are members of MainForm; this header
// holds the countdown text, which needs no form.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

// The countdown shown in the frame's caption: "2 hours : 5 seconds before
// next run." (zero days, hours and minutes left out); "Job is Running" when
// every count is 0.
std::string TimeRemainingCaption(int32_t lngDays, int32_t lngHours, int32_t lngMinutes, int32_t lngSeconds);

}  // namespace tessa
