// A TIFF page coded with JPEG in one piece, taken into a PDF as its JPEG
// bytes (which the PDF decodes with /DCTDecode) instead of being decoded and
// stored again.
#pragma once

#include <optional>
#include <string>

struct tiff;

namespace quirepane {

struct TiffJpegPage {
  long width = 0, height = 0;
  std::string data;         // a whole JPEG stream: the page's tables, then its strip or tile
  std::string decodeParms;  // the filter's /DecodeParms in PDF syntax, or ""
};

// The page an open TIFF stands at when its JPEG bytes show it as they stand:
// JPEG coding (compression 7), 8 bits, one strip or one tile holding the
// whole image, YCbCr, RGB or grey, with the sampling the page states.
// nullopt for any other page (CMYK, alpha, several strips or tiles, the old
// JPEG coding) or one that cannot be read; the caller then decodes it.
std::optional<TiffJpegPage> ReadTiffJpegPage(tiff* tif);

// As above for page `page` (0-based) of the TIFF file at path.
std::optional<TiffJpegPage> ReadTiffJpegPage(const std::string& path, int page);

}  // namespace quirepane
