// Writes the benchmark's image corpus into a folder, all made here with
// FreeImage: JPEG photos, PNG drawings, palette, grey, 1-bit, alpha and
// 16-bit PNGs, and ten-page TIFF files in LZW, JPEG and Group 4; and for the
// scale runs many small JPEGs or one TIFF of many Group 4 or JPEG pages.
//   make_corpus FOLDER [SCALE]    (SCALE 1 gives 2000 by 1500 photos)
//   make_corpus --small-jpegs FOLDER N    N 800 by 600 JPEGs of about 3 KB
//   make_corpus --g4-tiff FILE N          one TIFF of N Group 4 pages
//   make_corpus --jpeg-tiff FILE N        one TIFF of N JPEG (YCbCr) pages, a strip each
//   make_corpus --rgb-tiff FILE N         one TIFF of N uncompressed RGB pages of 160 KB
//   make_corpus --photo-png FILE          one 3000 by 2000 RGB photo PNG
//   make_corpus --photo-tiff FILE N W H   one TIFF of N uncompressed W by H RGB photo pages
//   make_corpus --smooth-tiff FILE N W H  the same of smooth, photo-like pages (little noise)
//   make_corpus --photo-bmp FILE W H      one W by H 24-bit photo BMP
//   make_corpus --smooth-bmp FILE W H     the same, smooth
//   make_corpus --strip-jpeg-tiff FILE N  one TIFF of N JPEG pages in many strips, which
//                                         must be decoded
#include <FreeImage.h>
#include <tiffio.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

// A photo-like picture: smooth gradients, waves and noise (each sample up to
// noise above the picture), so JPEG sizes look like those of real photos.
FIBITMAP* Photo(int w, int h, unsigned seed, int noise = 24) {
  FIBITMAP* dib = FreeImage_Allocate(w, h, 24);
  std::srand(seed);
  for (int y = 0; y < h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    for (int x = 0; x < w; ++x) {
      const double v = std::sin(x * 0.013 + seed) * std::cos(y * 0.017) * 60.0;
      line[x * 3 + FI_RGBA_RED] = BYTE(std::clamp(120 + v + (std::rand() % noise), 0.0, 255.0));
      line[x * 3 + FI_RGBA_GREEN] = BYTE(std::clamp(100 + x * 100.0 / w - v / 2 + (std::rand() % noise), 0.0, 255.0));
      line[x * 3 + FI_RGBA_BLUE] = BYTE(std::clamp(80 + y * 120.0 / h + (std::rand() % noise), 0.0, 255.0));
    }
  }
  return dib;
}

// A drawing: flat areas and hard edges.
FIBITMAP* Drawing(int w, int h, int bpp) {
  FIBITMAP* dib = FreeImage_Allocate(w, h, bpp);
  if (bpp <= 8) {
    RGBQUAD* pal = FreeImage_GetPalette(dib);
    const int n = 1 << bpp;
    for (int i = 0; i < n; ++i) pal[i] = RGBQUAD{BYTE(i * 255 / (n - 1)), BYTE(i * 255 / (n - 1)), BYTE(i * 255 / (n - 1)), 0};
  }
  for (int y = 0; y < h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    for (int x = 0; x < w; ++x) {
      const bool ink = ((x / 40) + (y / 40)) % 2 == 0 || std::abs(x - y) < 3;
      if (bpp == 1) {
        if (!ink) line[x / 8] |= BYTE(0x80 >> (x % 8));
      } else if (bpp == 8) {
        line[x] = BYTE(ink ? (x * 7) % 256 : 255);
      } else {
        BYTE* px = line + x * (bpp / 8);
        px[FI_RGBA_RED] = BYTE(ink ? 200 : 255);
        px[FI_RGBA_GREEN] = BYTE(ink ? 40 : 255);
        px[FI_RGBA_BLUE] = BYTE(ink ? (y % 256) : 255);
        if (bpp == 32) px[FI_RGBA_ALPHA] = BYTE(ink ? 255 : 0);
      }
    }
  }
  return dib;
}

void Save(FIBITMAP* dib, FREE_IMAGE_FORMAT fif, const std::string& path, int flags = 0) {
  if (!FreeImage_Save(fif, dib, path.c_str(), flags)) std::fprintf(stderr, "cannot write %s\n", path.c_str());
}

// A flat picture with a few soft shapes: it compresses to a few kilobytes.
FIBITMAP* Plain(int w, int h, unsigned seed) {
  FIBITMAP* dib = FreeImage_Allocate(w, h, 24);
  for (int y = 0; y < h; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    for (int x = 0; x < w; ++x) {
      const bool inside = std::hypot(x - (seed * 37) % w, y - (seed * 53) % h) < 120;
      line[x * 3 + FI_RGBA_RED] = BYTE(inside ? 200 : 240);
      line[x * 3 + FI_RGBA_GREEN] = BYTE(inside ? 80 : 240);
      line[x * 3 + FI_RGBA_BLUE] = BYTE(inside ? (seed * 11) % 256 : 230);
    }
  }
  return dib;
}

int SmallJpegs(const std::string& dir, int n) {
  std::filesystem::create_directories(dir);
  for (int i = 0; i < n; ++i) {
    FIBITMAP* dib = Plain(800, 600, unsigned(i));
    char name[32];
    std::snprintf(name, sizeof name, "/img%05d.jpg", i);
    Save(dib, FIF_JPEG, dir + name, JPEG_QUALITYAVERAGE);
    FreeImage_Unload(dib);
  }
  return 0;
}

int G4Tiff(const std::string& path, int n) {
  std::filesystem::remove(path);
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, path.c_str(), TRUE, FALSE, FALSE, 0);
  if (!multi) return 1;
  for (int page = 0; page < n; ++page) {
    FIBITMAP* dib = Drawing(1728 + (page % 3) * 8, 2200, 1);
    FreeImage_SetDotsPerMeterX(dib, 7874);
    FreeImage_SetDotsPerMeterY(dib, 7874);
    FreeImage_AppendPage(multi, dib);
    FreeImage_Unload(dib);
  }
  return FreeImage_CloseMultiBitmap(multi, TIFF_CCITTFAX4) ? 0 : 1;
}

// Writes n pages of w by h 8-bit RGB into a new TIFF at path: row y of page
// `page` is scan line rowOf(y, page) of photo. pageTags sets the
// compression, photometric interpretation, strips and resolution.
int RgbPages(const std::string& path, int n, int w, int h, FIBITMAP* photo, const std::function<int(int, int)>& rowOf,
             const std::function<void(TIFF*)>& pageTags) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  if (!tif) return 1;
  std::vector<uint8_t> line(size_t(w) * 3);
  int rc = 0;
  for (int page = 0; page < n && rc == 0; ++page) {
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    pageTags(tif);
    for (int y = 0; y < h && rc == 0; ++y) {
      const BYTE* src = FreeImage_GetScanLine(photo, rowOf(y, page));
      for (int x = 0; x < w; ++x) {
        line[3 * x] = src[3 * x + FI_RGBA_RED];
        line[3 * x + 1] = src[3 * x + FI_RGBA_GREEN];
        line[3 * x + 2] = src[3 * x + FI_RGBA_BLUE];
      }
      if (TIFFWriteScanline(tif, line.data(), uint32_t(y)) < 0) rc = 1;
    }
    if (rc == 0 && !TIFFWriteDirectory(tif)) rc = 1;
  }
  TIFFClose(tif);
  return rc;
}

// Pages of a scanned colour document as a scanner's TIFF holds them: JPEG in
// YCbCr, 200 dpi, one strip a page unless rowsPerStrip says otherwise.
int JpegTiff(const std::string& path, int n, int rowsPerStrip = 0) {
  const int w = 1240, h = 1754;
  FIBITMAP* photo = Photo(w, h, 7);
  // The picture moves down a row a page, so that no two pages are alike.
  const int strip = rowsPerStrip > 0 ? rowsPerStrip : h;
  const int rc = RgbPages(path, n, w, h, photo, [h](int y, int page) { return (h - 1 - y + page) % h; }, [strip](TIFF* tif) {
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
    TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 75);
    TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, strip);
    TIFFSetField(tif, TIFFTAG_XRESOLUTION, 200.0);
    TIFFSetField(tif, TIFFTAG_YRESOLUTION, 200.0);
    TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
  });
  FreeImage_Unload(photo);
  return rc;
}

// n uncompressed w by h RGB pages of a photo (seed and noise as in Photo),
// in strips of rowsPerStrip rows, the picture moving down a row a page.
int PhotoTiff(const std::string& path, int n, int w, int h, unsigned seed, int noise, int rowsPerStrip) {
  FIBITMAP* photo = Photo(w, h * 2, seed, noise);
  const int rc = RgbPages(path, n, w, h, photo, [h](int y, int page) { return (y + page) % (h * 2); },
                          [rowsPerStrip](TIFF* tif) {
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  });
  FreeImage_Unload(photo);
  return rc;
}

// Small uncompressed RGB pages without a stated resolution, as a camera or
// a screen grabber writes them.
int RgbTiff(const std::string& path, int n) { return PhotoTiff(path, n, 284, 192, 3, 24, 16); }

int PhotoFile(const std::string& path, FREE_IMAGE_FORMAT fif, int w, int h, unsigned seed, int noise = 24) {
  FIBITMAP* photo = Photo(w, h, seed, noise);
  Save(photo, fif, path);
  FreeImage_Unload(photo);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--small-jpegs") return SmallJpegs(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::string(argv[1]) == "--g4-tiff") return G4Tiff(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::string(argv[1]) == "--jpeg-tiff") return JpegTiff(argv[2], std::atoi(argv[3]));
  if (argc == 4 && std::string(argv[1]) == "--rgb-tiff") return RgbTiff(argv[2], std::atoi(argv[3]));
  if (argc == 3 && std::string(argv[1]) == "--photo-png") return PhotoFile(argv[2], FIF_PNG, 3000, 2000, 5);
  if (argc == 4 && std::string(argv[1]) == "--strip-jpeg-tiff") return JpegTiff(argv[2], std::atoi(argv[3]), 64);
  const int kSmoothNoise = 3;
  if (argc == 6 && (std::string(argv[1]) == "--photo-tiff" || std::string(argv[1]) == "--smooth-tiff")) {
    return PhotoTiff(argv[2], std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), 9,
                     std::string(argv[1]) == "--photo-tiff" ? 24 : kSmoothNoise, 64);
  }
  if (argc == 5 && (std::string(argv[1]) == "--photo-bmp" || std::string(argv[1]) == "--smooth-bmp")) {
    return PhotoFile(argv[2], FIF_BMP, std::atoi(argv[3]), std::atoi(argv[4]), 11,
                     std::string(argv[1]) == "--photo-bmp" ? 24 : kSmoothNoise);
  }
  if (argc < 2) {
    std::fprintf(stderr, "usage: make_corpus FOLDER [SCALE]\n");
    return 64;
  }
  const std::string dir = argv[1];
  const double scale = argc > 2 ? std::atof(argv[2]) : 1.0;
  const int w = int(2000 * scale), h = int(1500 * scale);
  std::filesystem::create_directories(dir + "/jpeg");
  std::filesystem::create_directories(dir + "/png");
  std::filesystem::create_directories(dir + "/tiff");
  for (unsigned i = 0; i < 10; ++i) {
    FIBITMAP* photo = Photo(w, h, i);
    FreeImage_SetDotsPerMeterX(photo, 11811);
    FreeImage_SetDotsPerMeterY(photo, 11811);
    Save(photo, FIF_JPEG, dir + "/jpeg/photo" + std::to_string(i) + ".jpg", JPEG_QUALITYGOOD);
    FreeImage_Unload(photo);
  }
  const int dw = int(1600 * scale), dh = int(1200 * scale);
  struct Kind {
    const char* name;
    int bpp;
  } kinds[] = {{"drawing", 24}, {"grey", 8}, {"bilevel", 1}, {"alpha", 32}};
  for (const Kind& k : kinds) {
    for (int i = 0; i < 3; ++i) {
      FIBITMAP* dib = Drawing(dw + i * 16, dh, k.bpp);
      Save(dib, FIF_PNG, dir + "/png/" + k.name + std::to_string(i) + ".png");
      FreeImage_Unload(dib);
    }
  }
  for (int i = 0; i < 3; ++i) {
    FIBITMAP* drawing = Drawing(dw, dh + i * 16, 24);
    FIBITMAP* palette = FreeImage_ColorQuantize(drawing, FIQ_WUQUANT);
    Save(palette, FIF_PNG, dir + "/png/palette" + std::to_string(i) + ".png");
    FIBITMAP* deep = FreeImage_ConvertToRGB16(drawing);
    Save(deep, FIF_PNG, dir + "/png/deep" + std::to_string(i) + ".png");
    FreeImage_Unload(palette);
    FreeImage_Unload(deep);
    FreeImage_Unload(drawing);
  }
  struct Tiff {
    const char* name;
    int flags;
    int bpp;
  } tiffs[] = {{"lzw", TIFF_LZW, 24}, {"jpeg", TIFF_JPEG, 24}, {"g4", TIFF_CCITTFAX4, 1}};
  for (const Tiff& t : tiffs) {
    const std::string path = dir + "/tiff/" + t.name + ".tif";
    std::filesystem::remove(path);
    FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, path.c_str(), TRUE, FALSE, FALSE, 0);
    for (int page = 0; page < 10; ++page) {
      FIBITMAP* dib = t.bpp == 24 ? Photo(dw, dh, 100 + page) : Drawing(int(2480 * scale), int(3508 * scale), 1);
      FreeImage_AppendPage(multi, dib);
      FreeImage_Unload(dib);
    }
    FreeImage_CloseMultiBitmap(multi, t.flags);
  }
  return 0;
}
