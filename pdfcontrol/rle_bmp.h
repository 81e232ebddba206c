// Windows bitmaps whose pixels are run-length coded (RLE8 and RLE4),
// decoded here: FreeImage's own loader refuses many that drawing programs
// and image tools write.
#pragma once

#include <string>
#include <string_view>

#include "pdfcontrol/freeimage_handles.h"

namespace quirepane {

// True when bytes hold a bitmap whose information header names RLE8 or RLE4.
bool IsRunLengthBmp(std::string_view bytes);

// The run-length coded bitmap whose file bytes are given, as an 8- or 4-bit
// FreeImage bitmap with its palette and resolution; its pixels all colour 0
// when headerOnly (this FreeImage has no bitmap without pixels). Pixels the codes skip take colour 0. Null when bytes are no
// such bitmap; null with *damage giving the reason to refuse it when its
// codes run past a row or past the image, or the data ends before the
// image does.
BitmapPtr DecodeRunLengthBmp(std::string_view bytes, bool headerOnly, std::string* damage);

}  // namespace quirepane
