// Writes a large grey page as a scanner writes it: one LZW TIFF of pages
// of paper white with its grain, lines of dark strokes and a soft shadow at
// one edge, in strips of about 8 KB. Used by bench/large_pages.py.
//   make_scan_tiff FILE W H [PAGES]
//   make_scan_tiff --decode FILE     the first page's rows, as libtiff decodes them, to stdout
#include <tiffio.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// A small fast generator: the grain need not be good randomness.
struct Grain {
  uint32_t state;
  uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state;
  }
};

void ScanRow(std::vector<uint8_t>& row, uint32_t y, uint32_t height, Grain& grain) {
  const uint32_t width = static_cast<uint32_t>(row.size());
  const uint32_t line = y % 64;
  const bool textLine = line >= 20 && line < 44 && y > height / 20 && y < height - height / 20;
  for (uint32_t x = 0; x < width; ++x) {
    const uint32_t r = grain.Next();
    int v = 236 + int(r & 3) - int((r >> 2) & 3);
    if (x < width / 40) v -= int((width / 40 - x) * 60 / (width / 40 + 1));  // the shadow at the binding
    if (textLine && x > width / 12 && x < width - width / 12) {
      const uint32_t glyph = (x / 14 + y / 64 * 7) % 11;
      const uint32_t cx = x % 14;
      if (glyph < 8 && (cx < 3 || (line - 20 + cx) % 9 == 0)) v = 40 + int((r >> 8) & 31);
    }
    row[x] = uint8_t(std::clamp(v, 0, 255));
  }
}

}  // namespace

// Writes the rows of the file's first page to stdout; 1 when it cannot.
int Decode(const char* path) {
  TIFF* tif = TIFFOpen(path, "r");
  if (!tif) return 1;
  std::vector<uint8_t> row(static_cast<size_t>(TIFFScanlineSize(tif)));
  uint32_t height = 0;
  TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
  int status = 0;
  for (uint32_t y = 0; y < height && status == 0; ++y) {
    if (TIFFReadScanline(tif, row.data(), y, 0) < 0 || std::fwrite(row.data(), 1, row.size(), stdout) != row.size()) status = 1;
  }
  TIFFClose(tif);
  return status;
}

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--decode") return Decode(argv[2]);
  if (argc < 4) {
    std::fprintf(stderr, "usage: make_scan_tiff FILE W H [PAGES]\n");
    return 2;
  }
  const uint32_t width = uint32_t(std::atol(argv[2])), height = uint32_t(std::atol(argv[3]));
  const int pages = argc > 4 ? std::atoi(argv[4]) : 1;
  TIFF* tif = TIFFOpen(argv[1], height * uint64_t(width) * pages > (3u << 30) ? "w8" : "w");
  if (!tif) return 1;
  std::vector<uint8_t> row(width);
  for (int page = 0; page < pages; ++page) {
    Grain grain{0x9E3779B9u + uint32_t(page)};
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tif, 0));
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 300.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
    if (pages > 1) {
      TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
      TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(pages));
    }
    for (uint32_t y = 0; y < height; ++y) {
      ScanRow(row, y, height, grain);
      if (TIFFWriteScanline(tif, row.data(), y, 0) < 0) return 1;
    }
    if (!TIFFWriteDirectory(tif)) return 1;
  }
  TIFFClose(tif);
  return 0;
}
