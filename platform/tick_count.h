// A millisecond count that only moves forward, for measuring how long a run
// or a wait has taken (never a date).
#pragma once

#include <cstdint>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Milliseconds since an arbitrary fixed start; differences are durations.
int64_t GetTickCount();

}  // namespace tessa
