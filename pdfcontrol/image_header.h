// The size of the largest page an image file declares, read from its
// headers without decoding a pixel: through FreeImage's header-only load
// where it has one, else through the format's own headers.
#pragma once

#include <functional>
#include <optional>
#include <string_view>

#include "pdfcontrol/page_size.h"

struct FIBITMAP;

namespace quirepane {

// The largest page (frame, icon) that the file whose bytes are given, of
// FreeImage format fif, declares, in the bits per pixel it decodes to (or
// more); nullopt when its headers cannot be read.
std::optional<PageSize> LargestDeclaredPage(std::string_view bytes, int fif);

// One image of a GIF: its size, and where its coded data starts (the byte
// of the least code size, then the data sub-blocks).
struct GifImage {
  PageSize size;
  size_t dataAt = 0;
};

// Walks the blocks of the GIF whose bytes are given up to its trailer or
// the file's end, calling found for each image; where the walk stopped
// (the trailer's place in a whole file).
size_t WalkGifBlocks(std::string_view bytes, const std::function<void(const GifImage&)>& found);

// The size of a bitmap loaded with or without its pixels.
PageSize SizeOfBitmap(FIBITMAP* dib);

}  // namespace quirepane
