// Windows bitmaps whose information header is one of the longer, newer
// forms (52 to 124 bytes) rewritten with the classic 40-byte header, which
// every bitmap reader understands; and what a bitmap's headers declare.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pdfcontrol/page_size.h"

namespace quirepane {

// The same bitmap with a 40-byte information header (colour masks moved
// after it when the pixels use them), or nullopt when bytes is not a bitmap
// with a longer header or is cut short.
std::optional<std::string> WithClassicBmpHeader(const std::string& bytes);

// The size a bitmap's headers declare, and whether its file holds every
// pixel byte they promise (the rows of an uncompressed bitmap, the stated
// size of a run-length coded one).
struct BmpLayout {
  PageSize size;
  bool complete = false;
  bool runLength = false;  // RLE8 or RLE4
};

// The layout of the bitmap file whose bytes are given; nullopt when they
// are no bitmap or end inside its headers.
std::optional<BmpLayout> ReadBmpLayout(std::string_view bytes);

}  // namespace quirepane
