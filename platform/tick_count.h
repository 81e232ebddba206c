// A millisecond count that only moves forward, for measuring how long a run
// or a wait has taken (never a date). Replaceable, so that waits measured
// with it can be tested without depending on how fast the machine is.
#pragma once

#include <cstdint>
#include <functional>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Milliseconds since an arbitrary fixed start; differences are durations.
// The system's steady clock unless a test installed another source.
int64_t GetTickCount();

using TickSource = std::function<int64_t()>;

// Installs source as the tick count; an empty source restores the system's.
void SetTickSource(TickSource source);

}  // namespace tessa
