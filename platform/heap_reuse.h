// Lets the allocator keep large freed blocks for reuse. Converting an image
// allocates and frees the same few large buffers (decoders' state, pixel
// rows, whole pages) file after file; handed back to the system each time,
// every reuse costs fresh zeroed pages and their faults.
#pragma once

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Called once at program start; blocks up to 64 MB come from the heap and a
// freed heap top is given back only beyond 128 MB.
void KeepLargeBlocksForReuse();

}  // namespace tessa
