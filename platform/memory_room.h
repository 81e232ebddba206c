// How much more memory this process can take: what the system still has
// available, and what the process's own limits on its address space and
// data leave.
#pragma once

#include <cstdint>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Bytes this process can still allocate: the smallest of the system's
// available memory and the room left under RLIMIT_AS and RLIMIT_DATA (each
// only when set).
uint64_t MemoryRoom();

}  // namespace tessa
