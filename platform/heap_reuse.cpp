#include "platform/heap_reuse.h"

#include <malloc.h>

namespace tessa {

void KeepLargeBlocksForReuse() {
  mallopt(M_MMAP_THRESHOLD, 64 << 20);
  mallopt(M_TRIM_THRESHOLD, 128 << 20);
}

}  // namespace tessa
