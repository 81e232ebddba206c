// The size of a page as its file declares it, and the bytes its pixels take
// once decoded, found before anything is decoded.
#pragma once

#include <cstdint>

namespace quirepane {

struct PageSize {
  uint64_t width = 0, height = 0;
  unsigned bitsPerPixel = 0;

  // Bytes of the decoded page in rows of whole 32-bit words, as bitmaps hold
  // them; UINT64_MAX when that does not fit in 64 bits.
  uint64_t Bytes() const {
    const uint64_t row = bitsPerPixel == 0 || width <= (UINT64_MAX - 31) / bitsPerPixel
                             ? (width * bitsPerPixel + 31) / 32 * 4
                             : UINT64_MAX;
    return height != 0 && row > UINT64_MAX / height ? UINT64_MAX : row * height;
  }
};

}  // namespace quirepane
