// FreeImage reads a grey or palette TIFF page that lacks its SamplesPerPixel
// tag (as some writers leave it out, the count then being one) with a
// transparency table of whatever lay in memory, and the page would be laid
// over white as if it were partly see-through. A TIFF page holds
// transparency only in extra samples, so a bitmap read from a page without
// them has none.
#pragma once

#include <string>

struct FIBITMAP;

namespace quirepane {

// Drops the transparency of dib, read from page `page` (0-based) of the TIFF
// file at path, when that page holds one sample a pixel and no extra
// samples. Other bitmaps stay as they are.
void DropTransparencyTheTiffLacks(FIBITMAP* dib, const std::string& path, int page);

// The same for a page whose samples a pixel and extra samples are known.
void DropTransparencyTheTiffLacks(FIBITMAP* dib, unsigned samples, unsigned extras);

}  // namespace quirepane
