// Transparent pixels laid on white, exactly: a sample c of alpha a becomes
// round((c * a + M * (M - a)) / M), M being the largest sample (255, or
// 65535 for 16 bits), which is what a reader shows for the image over a
// white page.
#pragma once

#include <string>

#include "pdfcontrol/freeimage_handles.h"

namespace quirepane {

// An 8-bit bitmap with transparency (32-bit RGBA, or a palette with a
// transparency table) laid on white: a palette keeps its depth and indices
// with each colour laid on white; RGBA becomes 8-bit grey when every pixel
// is grey, 24-bit RGB otherwise. Any other bitmap is taken as 32-bit RGBA
// first. Null when FreeImage runs out of memory.
BitmapPtr CompositeOnWhite(FIBITMAP* dib);

// The samples of a 16-bit RGBA bitmap laid on white, rows from the top,
// most significant byte first: one a pixel when every pixel is grey
// (components 1), three otherwise (components 3). "" for other bitmaps.
std::string SixteenBitOnWhite(FIBITMAP* dib, int& components);

}  // namespace quirepane
