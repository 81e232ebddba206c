// Writes the inputs of the decoded-samples benchmark (bench/sample_bench.py):
// black-and-white and grey scans of text pages, and transparent images
// together with what they look like laid on white.
//   make_samples --a0-png FILE             a mostly white 1-bit A0 drawing at 600 dpi
//   make_samples --g4-pages FILE N         N 1-bit letter text pages at 300 dpi, Group 4
//   make_samples --grey-scan FILE KIND     a grey letter text page at 300 dpi as a TIFF
//                                          (KIND lzw, deflate or none)
//   make_samples --bilevel-bmp FILE        a 1-bit letter text page at 300 dpi as a BMP
//   make_samples --grey2-png FILE          a 2-bit grey letter text page at 300 dpi as a PNG
//   make_samples --g3-fax FILE             a fine fax page (1728 by 2200) in Group 3 strips
//   make_samples --alpha FILE KIND EXPECTED  a transparent image (KIND photo-png,
//                                          screenshot-png, grey-alpha-png, palette-trns-png,
//                                          rgba-bmp or rgba-tiff) and, at EXPECTED, a PPM of
//                                          it laid on white exactly
#include <FreeImage.h>
#include <tiffio.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

namespace {

// Ink of a page, one byte a pixel (0 paper, 1 ink), rows from the top.
struct Ink {
  int width, height;
  std::vector<uint8_t> at;
  Ink(int w, int h) : width(w), height(h), at(size_t(w) * size_t(h), 0) {}
  void Box(int x0, int y0, int x1, int y1) {
    x0 = std::max(0, x0), x1 = std::min(width, x1);
    if (x0 >= x1) return;
    for (int y = std::max(0, y0); y < std::min(height, y1); ++y)
      std::fill(at.begin() + long(y) * width + x0, at.begin() + long(y) * width + x1, 1);
  }
};

// Lines of words in [x0, x1) by [y0, y1): glyphs of 5 by 7 cells of cell
// pixels, drawn from 64 made-up letters.
void Text(Ink& ink, int x0, int y0, int x1, int y1, int cell, std::mt19937& random) {
  std::vector<uint64_t> letters(64);
  for (auto& letter : letters) letter = (uint64_t(random()) << 32 | random()) & ((1ull << 35) - 1);
  const int advance = 6 * cell, pitch = 12 * cell;
  for (int y = y0; y + 7 * cell <= y1; y += pitch) {
    if (random() % 9 == 0) continue;  // a paragraph's end
    const int end = x1 - int(random() % 6 == 0 ? random() % unsigned(std::max(1, (x1 - x0) / 2)) : 0);
    for (int x = x0; x + advance <= end;) {
      const int word = 2 + int(random() % 8);
      for (int k = 0; k < word && x + advance <= end; ++k, x += advance) {
        const uint64_t bits = letters[random() % letters.size()];
        for (int cy = 0; cy < 7; ++cy)
          for (int cx = 0; cx < 5; ++cx)
            if (bits >> (cy * 5 + cx) & 1) ink.Box(x + cx * cell, y + cy * cell, x + (cx + 1) * cell, y + (cy + 1) * cell);
      }
      x += advance;
    }
  }
}

Ink TextPage(int w, int h, int dpi, unsigned seed) {
  Ink ink(w, h);
  std::mt19937 random(seed);
  Text(ink, dpi, dpi, w - dpi, h - dpi, std::max(1, dpi / 100), random);
  return ink;
}

// A drawing sheet: a frame, a title block, a few text blocks and lines, most
// of it white.
Ink Sheet(int w, int h, int dpi) {
  Ink ink(w, h);
  std::mt19937 random(11);
  const int m = dpi / 2, line = std::max(2, dpi / 100);
  ink.Box(m, m, w - m, m + line), ink.Box(m, h - m - line, w - m, h - m);
  ink.Box(m, m, m + line, h - m), ink.Box(w - m - line, m, w - m, h - m);
  ink.Box(w - m - 8 * dpi, h - m - 3 * dpi, w - m, h - m - 3 * dpi + line);
  ink.Box(w - m - 8 * dpi, h - m - 3 * dpi, w - m - 8 * dpi + line, h - m);
  Text(ink, w - m - 8 * dpi + dpi / 4, h - m - 3 * dpi + dpi / 4, w - m - dpi / 4, h - m - dpi / 4, dpi / 100, random);
  for (int k = 0; k < 6; ++k) {
    const int x = m + dpi + int(random() % unsigned(w - 2 * m - 6 * dpi)), y = m + dpi + int(random() % unsigned(h - 2 * m - 6 * dpi));
    Text(ink, x, y, x + 4 * dpi, y + 2 * dpi, dpi / 100, random);
  }
  for (int k = 0; k < 40; ++k) {  // walls and leaders, straight and slanted
    const int x = m + int(random() % unsigned(w - 2 * m)), y = m + int(random() % unsigned(h - 2 * m));
    const int length = dpi * (1 + int(random() % 12));
    const int kind = int(random() % 3);
    for (int t = 0; t < length; ++t) {
      const int px = kind == 1 ? x : x + t, py = kind == 0 ? y : y + (kind == 2 ? t / 2 : t);
      ink.Box(px, py, px + line, py + line);
    }
  }
  return ink;
}

// The ink as a 1-bit bitmap (palette black, white), with specks of dust one
// pixel in specks.
FIBITMAP* Bilevel(const Ink& ink, unsigned specks) {
  FIBITMAP* dib = FreeImage_Allocate(ink.width, ink.height, 1);
  RGBQUAD* pal = FreeImage_GetPalette(dib);
  pal[0] = RGBQUAD{0, 0, 0, 0};
  pal[1] = RGBQUAD{255, 255, 255, 0};
  std::mt19937 random(5);
  for (int y = 0; y < ink.height; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, ink.height - 1 - y);
    const uint8_t* row = ink.at.data() + size_t(y) * size_t(ink.width);
    for (int x = 0; x < ink.width; ++x) {
      const bool black = row[x] || (specks && random() % specks == 0);
      if (!black) line[x / 8] |= BYTE(0x80 >> (x % 8));
    }
  }
  return dib;
}

// The ink as a grey scan: paper a little uneven, soft edges, sensor noise.
std::vector<uint8_t> GreyScan(const Ink& ink) {
  std::vector<uint8_t> grey(ink.at.size());
  std::mt19937 random(3);
  for (int y = 0; y < ink.height; ++y)
    for (int x = 0; x < ink.width; ++x) {
      int covered = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          const int yy = std::clamp(y + dy, 0, ink.height - 1), xx = std::clamp(x + dx, 0, ink.width - 1);
          covered += ink.at[size_t(yy) * size_t(ink.width) + size_t(xx)];
        }
      const int paper = 238 + (x / 97 + y / 131) % 5;
      const int value = paper - covered * (paper - 35) / 9 + int(random() % 7) - 3;
      grey[size_t(y) * size_t(ink.width) + size_t(x)] = uint8_t(std::clamp(value, 0, 255));
    }
  return grey;
}

int SaveDib(FIBITMAP* dib, FREE_IMAGE_FORMAT fif, const char* path, int flags = 0) {
  FreeImage_SetDotsPerMeterX(dib, 11811), FreeImage_SetDotsPerMeterY(dib, 11811);
  const bool saved = FreeImage_Save(fif, dib, path, flags);
  FreeImage_Unload(dib);
  return saved ? 0 : 1;
}

// Writes rows of the given layout as one TIFF page (or the next page of
// tif), rowsPerStrip rows a strip.
bool TiffPage(TIFF* tif, int w, int h, int bits, int photometric, int compression, int rowsPerStrip, float dpi,
              const std::vector<uint8_t>& rows) {
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, bits);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  TIFFSetField(tif, TIFFTAG_XRESOLUTION, dpi);
  TIFFSetField(tif, TIFFTAG_YRESOLUTION, dpi * (bits == 1 && dpi < 250 ? 196.0f / 204.0f : 1.0f));
  TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, GROUP3OPT_2DENCODING);
  const size_t rowBytes = (size_t(w) * size_t(bits) + 7) / 8;
  for (int y = 0; y < h; ++y)
    if (TIFFWriteScanline(tif, const_cast<uint8_t*>(rows.data() + size_t(y) * rowBytes), uint32_t(y)) < 0) return false;
  return TIFFWriteDirectory(tif) == 1;
}

// Packed 1-bit rows of the ink, 1 for ink (a min-is-white page).
std::vector<uint8_t> PackedInk(const Ink& ink) {
  const size_t rowBytes = (size_t(ink.width) + 7) / 8;
  std::vector<uint8_t> rows(rowBytes * size_t(ink.height), 0);
  for (int y = 0; y < ink.height; ++y)
    for (int x = 0; x < ink.width; ++x)
      if (ink.at[size_t(y) * size_t(ink.width) + size_t(x)]) rows[size_t(y) * rowBytes + size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
  return rows;
}

int G4Pages(const char* path, int pages) {
  TIFF* tif = TIFFOpen(path, "w");
  if (!tif) return 1;
  bool ok = true;
  for (int p = 0; p < pages && ok; ++p) {
    const Ink ink = TextPage(2550, 3300, 300, unsigned(21 + p));
    ok = TiffPage(tif, 2550, 3300, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4, 3300, 300, PackedInk(ink));
  }
  TIFFClose(tif);
  return ok ? 0 : 1;
}

int G3Fax(const char* path) {
  TIFF* tif = TIFFOpen(path, "w");
  if (!tif) return 1;
  const Ink ink = TextPage(1728, 2200, 204, 31);
  const bool ok = TiffPage(tif, 1728, 2200, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX3, 128, 204, PackedInk(ink));
  TIFFClose(tif);
  return ok ? 0 : 1;
}

int GreyScanTiff(const char* path, const std::string& kind) {
  const int compression = kind == "lzw" ? COMPRESSION_LZW : kind == "deflate" ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE;
  TIFF* tif = TIFFOpen(path, "w");
  if (!tif) return 1;
  const bool ok = TiffPage(tif, 2550, 3300, 8, PHOTOMETRIC_MINISBLACK, compression, 16, 300,
                           GreyScan(TextPage(2550, 3300, 300, 41)));
  TIFFClose(tif);
  return ok ? 0 : 1;
}

// A transparent image: 8-bit samples and alpha, rows from the top.
struct Rgba {
  int width, height;
  std::vector<uint8_t> px;  // R, G, B, A
};

Rgba AlphaImage(const std::string& kind) {
  const bool photo = kind == "photo-png" || kind == "rgba-bmp" || kind == "rgba-tiff";
  Rgba image{photo ? 1200 : 1000, photo ? 800 : 700, {}};
  image.px.resize(size_t(image.width) * size_t(image.height) * 4);
  std::mt19937 random(9);
  for (int y = 0; y < image.height; ++y)
    for (int x = 0; x < image.width; ++x) {
      uint8_t* p = image.px.data() + (size_t(y) * size_t(image.width) + size_t(x)) * 4;
      if (photo) {  // a photo cut out with a soft edge: alpha falls off toward the corners
        p[0] = uint8_t(std::clamp(90 + x / 8 + int(random() % 30), 0, 255));
        p[1] = uint8_t(std::clamp(60 + y / 6 + int(random() % 30), 0, 255));
        p[2] = uint8_t(std::clamp(140 - x / 12 + int(random() % 30), 0, 255));
        const double dx = (x - image.width / 2.0) / image.width, dy = (y - image.height / 2.0) / image.height;
        p[3] = uint8_t(std::clamp(int(400 - 1400 * (dx * dx + dy * dy)) + int(random() % 9), 0, 255));
      } else {  // a window on a clear background with a soft shadow
        const bool window = x > 100 && x < 900 && y > 80 && y < 600;
        const int shadow = std::max(0, 30 - std::max(std::abs(x - 500) - 400, std::abs(y - 345) - 265));
        const uint8_t shade = uint8_t((x / 40 + y / 30) % 2 ? 245 : 230);
        p[0] = window ? (y < 120 ? 40 : shade) : 0, p[1] = window ? (y < 120 ? 90 : shade) : 0;
        p[2] = window ? (y < 120 ? 160 : shade) : 0;
        p[3] = window ? 255 : uint8_t(std::min(255, shadow * 5));
        if (kind == "grey-alpha-png") p[0] = p[1] = p[2] = uint8_t((p[0] + p[1] + p[2]) / 3);
      }
    }
  if (kind == "palette-trns-png") {  // 64 colours, a few of them see-through
    for (size_t i = 0; i < image.px.size(); i += 4) {
      const int k = image.px[i + 3] == 255 ? (image.px[i] / 64) * 16 + (image.px[i + 1] / 64) * 4 + image.px[i + 2] / 64 : 64 - image.px[i + 3] / 16 - 1;
      image.px[i] = uint8_t(k * 4), image.px[i + 1] = uint8_t(255 - k * 3), image.px[i + 2] = uint8_t(k * 2);
      image.px[i + 3] = uint8_t(k < 48 ? 255 : (k - 48) * 16);
    }
  }
  return image;
}

std::string Chunk(const std::string& type, const std::string& body) {
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  const std::string typed = type + body;
  return be32(uint32_t(body.size())) + typed +
         be32(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

// A PNG of the given depth, colour type and filtered rows, in one IDAT.
bool WritePng(const char* path, int w, int h, int bits, int colorType, const std::string& rows) {
  uLongf size = compressBound(uLong(rows.size()));
  std::string packed(size, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()), 9);
  packed.resize(size);
  const std::string header{char(w >> 24), char(w >> 16), char(w >> 8), char(w), char(h >> 24), char(h >> 16),
                           char(h >> 8), char(h), char(bits), char(colorType), 0, 0, 0};
  const std::string png = std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", header) + Chunk("IDAT", packed) + Chunk("IEND", "");
  FILE* f = std::fopen(path, "wb");
  if (!f) return false;
  const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
  return std::fclose(f) == 0 && written;
}

// A 2-bit grey text page at 300 dpi: paper, light and dark ink, rows unfiltered.
int Grey2Png(const char* path) {
  const Ink ink = TextPage(2550, 3300, 300, 61);
  const std::vector<uint8_t> grey = GreyScan(ink);
  std::string rows;
  for (int y = 0; y < ink.height; ++y) {
    rows += '\0';
    for (int x = 0; x < ink.width; x += 4) {
      uint8_t byte = 0;
      for (int k = 0; k < 4; ++k) byte = uint8_t(byte << 2 | (x + k < ink.width ? grey[size_t(y) * size_t(ink.width) + size_t(x + k)] / 64 : 3));
      rows += char(byte);
    }
  }
  return WritePng(path, ink.width, ink.height, 2, 0, rows) ? 0 : 1;
}

int AlphaFile(const char* path, const std::string& kind, const char* expected) {
  const Rgba image = AlphaImage(kind);
  const int w = image.width, h = image.height;
  FIBITMAP* dib = nullptr;
  if (kind == "palette-trns-png") {
    dib = FreeImage_Allocate(w, h, 8);
    RGBQUAD* pal = FreeImage_GetPalette(dib);
    BYTE table[64];
    for (int k = 0; k < 64; ++k) {
      pal[k] = RGBQUAD{BYTE(k * 2), BYTE(255 - k * 3), BYTE(k * 4), 0};
      table[k] = BYTE(k < 48 ? 255 : (k - 48) * 16);
    }
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) FreeImage_GetScanLine(dib, h - 1 - y)[x] = BYTE(image.px[(size_t(y) * w + x) * 4] / 4);
    FreeImage_SetTransparencyTable(dib, table, 64);
  } else {
    dib = FreeImage_Allocate(w, h, 32);
    for (int y = 0; y < h; ++y) {
      BYTE* line = FreeImage_GetScanLine(dib, h - 1 - y);
      for (int x = 0; x < w; ++x) {
        const uint8_t* p = image.px.data() + (size_t(y) * w + x) * 4;
        line[4 * x + FI_RGBA_RED] = p[0], line[4 * x + FI_RGBA_GREEN] = p[1], line[4 * x + FI_RGBA_BLUE] = p[2];
        line[4 * x + FI_RGBA_ALPHA] = p[3];
      }
    }
    if (kind == "grey-alpha-png") {  // FreeImage would write RGBA: written here as grey and alpha
      FreeImage_Unload(dib);
      dib = nullptr;
      std::string raw;
      for (int y = 0; y < h; ++y) {
        raw += '\0';  // no filter
        for (int x = 0; x < w; ++x) raw += char(image.px[(size_t(y) * w + x) * 4]), raw += char(image.px[(size_t(y) * w + x) * 4 + 3]);
      }
      if (!WritePng(path, w, h, 8, 4, raw)) return 1;
    }
  }
  const FREE_IMAGE_FORMAT fif = kind == "rgba-bmp" ? FIF_BMP : kind == "rgba-tiff" ? FIF_TIFF : FIF_PNG;
  if (dib && SaveDib(dib, fif, path, fif == FIF_TIFF ? TIFF_LZW : 0) != 0) return 1;
  FILE* out = std::fopen(expected, "wb");
  if (!out) return 1;
  std::fprintf(out, "P6\n%d %d\n255\n", w, h);
  for (size_t i = 0; i < image.px.size(); i += 4) {
    const unsigned a = image.px[i + 3];
    for (int c = 0; c < 3; ++c) std::fputc(int((image.px[i + c] * a + 255 * (255 - a) + 127) / 255), out);
  }
  return std::fclose(out) == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  FreeImage_Initialise(FALSE);
  TIFFSetWarningHandler(nullptr);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc == 3 && mode == "--a0-png") return SaveDib(Bilevel(Sheet(19866, 28087, 600), 0), FIF_PNG, argv[2]);
  if (argc == 4 && mode == "--g4-pages") return G4Pages(argv[2], std::atoi(argv[3]));
  if (argc == 4 && mode == "--grey-scan") return GreyScanTiff(argv[2], argv[3]);
  if (argc == 3 && mode == "--bilevel-bmp") return SaveDib(Bilevel(TextPage(2550, 3300, 300, 51), 4000), FIF_BMP, argv[2]);
  if (argc == 3 && mode == "--g3-fax") return G3Fax(argv[2]);
  if (argc == 3 && mode == "--grey2-png") return Grey2Png(argv[2]);
  if (argc == 5 && mode == "--alpha") return AlphaFile(argv[2], argv[3], argv[4]);
  std::fprintf(stderr, "usage: see the head of make_samples.cpp\n");
  return 2;
}
