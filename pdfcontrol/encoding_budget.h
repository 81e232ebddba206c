// How much memory and how many threads the conversion of pages may take,
// in one place: what a decoded page costs on each road, and the share the
// encodings in flight may hold beside the page being read.
#pragma once

#include <cstdint>

namespace quirepane {

// A page FreeImage decodes is held about this many times over on its way
// into a PDF: the bitmap, its standard form, the rows, the rows predicted.
inline constexpr uint64_t kDecodedCopies = 4;
// A page read band by band is held once at most: its compressed bytes, no
// more than its samples, beside a few bands (kBandBytes each per thread);
// as much again is left to the pages still being encoded beside it.
inline constexpr uint64_t kStreamedCopies = 2;
// An encoding holds its rows about three times over: the rows, the rows
// predicted, and the room deflate writes into.
inline constexpr uint64_t kEncodingCopies = 3;
// The rows a band holds, decoded; the room it takes in all is a few times
// that (the rows, predicted, compressed).
inline constexpr uint64_t kBandBytes = 1u << 20;
// Pages of plain samples from this size up (decoded) are read in bands;
// smaller ones are decoded whole, each compressed on a thread of its own.
inline constexpr uint64_t kSmallestBandedPage = 64u << 20;

// The largest page, in decoded bytes, that may be held `copies` times over
// in the memory this computer can spare.
uint64_t PageRoom(uint64_t copies);

// The memory the encodings in flight beside the page being read may hold.
uint64_t EncodingShare();

// How many encodings (pages or bands) run at once.
unsigned EncodingThreads();

}  // namespace quirepane
