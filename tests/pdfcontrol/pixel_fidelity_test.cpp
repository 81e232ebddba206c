// What a reader sees: each page is rendered by poppler and compared, pixel
// by pixel, with the source image as FreeImage decodes it (over white).
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <functional>

#include <tiffio.h>
#include <zlib.h>

#include "convert_fixture.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// Page `page` (1-based) of pdf rendered at ten times 72 dots per inch, so
// that the middle of each image pixel is clear of the renderer's smoothing.
constexpr int kZoom = 10;
Dib Render(const std::string& pdf, int page, const std::string& prefix) {
  const std::string n = std::to_string(page);
  if (RunCommand("pdftoppm -r " + std::to_string(72 * kZoom) + " -singlefile -f " + n + " -l " + n + " " +
                 ShellQuote(pdf) + " " + ShellQuote(prefix))
          .exitCode != 0) {
    return nullptr;
  }
  return Dib(FreeImage_Load(FIF_PPMRAW, (prefix + ".ppm").c_str(), 0));
}

// The source as a reader should see it: 24-bit, transparency over white.
Dib Expected(const std::string& source) {
  FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(source.c_str(), 0);
  if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(source.c_str());
  Dib dib(FreeImage_Load(fif, source.c_str(), 0));
  if (!dib) return nullptr;
  // Sixteen bits per sample come down to their high byte.
  if (FreeImage_GetImageType(dib.get()) == FIT_UINT16) dib.reset(FreeImage_ConvertTo8Bits(dib.get()));
  Dib rgba(FreeImage_ConvertTo32Bits(dib.get()));
  RGBQUAD white{255, 255, 255, 0};
  return Dib(FreeImage_Composite(rgba.get(), FALSE, &white, nullptr));
}

// Largest difference of one colour channel between the image and the middle
// of each of its pixels on a rendered page; 256 when the page is not the
// image's size.
int MaxDifference(FIBITMAP* rendered, FIBITMAP* image) {
  const unsigned w = FreeImage_GetWidth(image), h = FreeImage_GetHeight(image);
  const double sx = double(FreeImage_GetWidth(rendered)) / w, sy = double(FreeImage_GetHeight(rendered)) / h;
  if (std::abs(sx - kZoom) > 0.1 || std::abs(sy - kZoom) > 0.1) return 256;
  int worst = 0;
  for (unsigned y = 0; y < h; ++y) {
    for (unsigned x = 0; x < w; ++x) {
      RGBQUAD a{}, b{};
      FreeImage_GetPixelColor(image, x, y, &a);
      FreeImage_GetPixelColor(rendered, unsigned((x + 0.5) * sx), unsigned((y + 0.5) * sy), &b);
      worst = std::max({worst, std::abs(a.rgbRed - b.rgbRed), std::abs(a.rgbGreen - b.rgbGreen),
                        std::abs(a.rgbBlue - b.rgbBlue)});
    }
  }
  return worst;
}

// A width by height bitmap of the given type and depth, pixels set by fill.
Dib Make(FREE_IMAGE_TYPE type, int width, int height, int bpp, const std::function<void(FIBITMAP*)>& fill) {
  Dib dib(FreeImage_AllocateT(type, width, height, bpp));
  fill(dib.get());
  return dib;
}

void SetPalette(FIBITMAP* dib, std::initializer_list<RGBQUAD> colours) {
  RGBQUAD* pal = FreeImage_GetPalette(dib);
  for (const RGBQUAD& c : colours) *pal++ = c;
}

// Every pixel of a 1, 4 or 8-bit bitmap gets a value from (x, y).
void FillIndices(FIBITMAP* dib, const std::function<unsigned(int, int)>& value) {
  const int bpp = static_cast<int>(FreeImage_GetBPP(dib));
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(dib)); ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    for (int x = 0; x < static_cast<int>(FreeImage_GetWidth(dib)); ++x) {
      const unsigned v = value(x, y);
      if (bpp == 8) line[x] = BYTE(v);
      else if (bpp == 4) line[x / 2] = BYTE(x % 2 ? (line[x / 2] & 0xF0) | v : (line[x / 2] & 0x0F) | (v << 4));
      else if (v) line[x / 8] |= BYTE(0x80 >> (x % 8));
      else line[x / 8] &= BYTE(~(0x80 >> (x % 8)));
    }
  }
}

// Colour pixels with alpha from (x, y): left third clear, middle half, rest opaque.
void FillRgba(FIBITMAP* dib) {
  const int w = static_cast<int>(FreeImage_GetWidth(dib));
  for (int y = 0; y < static_cast<int>(FreeImage_GetHeight(dib)); ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    for (int x = 0; x < w; ++x) {
      BYTE* px = line + x * 4;
      px[FI_RGBA_RED] = BYTE(x * 9);
      px[FI_RGBA_GREEN] = BYTE(y * 11);
      px[FI_RGBA_BLUE] = 40;
      px[FI_RGBA_ALPHA] = BYTE(x < w / 3 ? 0 : x < 2 * w / 3 ? 128 : 255);
    }
  }
}

std::string FromHex(const char* hex) {
  std::string bytes;
  for (const char* p = hex; p[0] && p[1]; p += 2) bytes += static_cast<char>(std::strtol(std::string(p, 2).c_str(), nullptr, 16));
  return bytes;
}

// A 16 by 8 CMYK JPEG with an Adobe marker: red on the left, blue on the right.
const char* kAdobeCmykJpeg =
    "ffd8ffee000e41646f626500640000000002ffdb0043000302020302020303030304030304050805050404050a070706"
    "080c0a0c0c0b0a0b0b0d0e12100d0e110e0b0b1016101113141515150c0f171816141812141514ffdb00430103040405"
    "040509050509140d0b0d1414141414141414141414141414141414141414141414141414141414141414141414141414"
    "141414141414141414141414ffc00014080008001004011100021101031101041100ffc4001700000301000000000000"
    "0000000000000000070809ffc40014100100000000000000000000000000000000ffc400150101010000000000000000"
    "0000000000000907ffc40014110100000000000000000000000000000000ffda000e040100021103110400003f00a217"
    "3154d533f41b98d0ffd9";

class PixelFidelity : public ConvertFixture {
 protected:
  // Converts source into its own PDF and returns how far the rendered page
  // strays from the source; 256 for a wrong page size, 999 for no page.
  int Stray(const std::string& source, long type = FT_AUTO) {
    const std::string pdf = source + ".pdf";
    if (Convert(source, pdf, type) != CR_Success) return 999;
    EXPECT_TRUE(InspectPdf(pdf).checkPassed) << source;
    Dib page = Render(pdf, 1, source + ".page");
    Dib expected = Expected(source);
    if (!page || !expected) return 999;
    return MaxDifference(page.get(), expected.get());
  }

  std::string Save(FIBITMAP* dib, FREE_IMAGE_FORMAT fif, const std::string& name, int flags = 0) {
    const std::string path = File(name);
    if (!FreeImage_Save(fif, dib, path.c_str(), flags)) ADD_FAILURE() << "cannot write " << name;
    return path;
  }
};

TEST_F(PixelFidelity, BilevelImagesKeepWhichSideIsBlack) {
  auto stripes = [](int x, int y) { return unsigned((x / 3 + y / 2) % 2); };
  Dib normal = Make(FIT_BITMAP, 45, 21, 1, [&](FIBITMAP* d) {
    SetPalette(d, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    FillIndices(d, stripes);
  });
  Dib inverted = Make(FIT_BITMAP, 45, 21, 1, [&](FIBITMAP* d) {
    SetPalette(d, {{255, 255, 255, 0}, {0, 0, 0, 0}});
    FillIndices(d, stripes);
  });
  Dib coloured = Make(FIT_BITMAP, 45, 21, 1, [&](FIBITMAP* d) {
    SetPalette(d, {{200, 0, 0, 0}, {0, 180, 60, 0}});
    FillIndices(d, stripes);
  });
  for (FIBITMAP* dib : {normal.get(), inverted.get(), coloured.get()}) {
    const std::string tag = dib == normal.get() ? "normal" : dib == inverted.get() ? "inverted" : "coloured";
    EXPECT_EQ(Stray(Save(dib, FIF_BMP, tag + ".bmp")), 0) << tag;
    EXPECT_EQ(Stray(Save(dib, FIF_PNG, tag + ".png")), 0) << tag;
    EXPECT_EQ(Stray(Save(dib, FIF_TIFF, tag + "-g4.tif", TIFF_CCITTFAX4)), 0) << tag;
    EXPECT_EQ(Stray(Save(dib, FIF_TIFF, tag + "-raw.tif", TIFF_NONE)), 0) << tag;
  }
  for (FIBITMAP* dib : {normal.get(), inverted.get()}) {
    const std::string tag = dib == normal.get() ? "normal" : "inverted";
    EXPECT_EQ(Stray(Save(dib, FIF_PBMRAW, tag + "-raw.pbm")), 0) << tag;
    EXPECT_EQ(Stray(Save(dib, FIF_PBM, tag + "-ascii.pbm", PNM_SAVE_ASCII)), 0) << tag;
    EXPECT_EQ(Stray(Save(dib, FIF_WBMP, tag + ".wbmp")), 0) << tag;
  }
}

TEST_F(PixelFidelity, PalettesAndGreyKeepTheirColours) {
  Dib grey4 = Make(FIT_BITMAP, 33, 17, 4, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 16; ++i) pal[i] = RGBQUAD{BYTE(i * 17), BYTE(i * 17), BYTE(i * 17), 0};
    FillIndices(d, [](int x, int y) { return unsigned((x + y) % 16); });
  });
  Dib colour4 = Make(FIT_BITMAP, 33, 17, 4, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 16; ++i) pal[i] = RGBQUAD{BYTE(i * 13), BYTE(255 - i * 9), BYTE(i * 5 + 30), 0};
    FillIndices(d, [](int x, int y) { return unsigned((x * 3 + y) % 16); });
  });
  Dib reversedGrey = Make(FIT_BITMAP, 33, 17, 8, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 256; ++i) pal[i] = RGBQUAD{BYTE(255 - i), BYTE(255 - i), BYTE(255 - i), 0};
    FillIndices(d, [](int x, int y) { return unsigned((x * 7 + y * 3) % 256); });
  });
  EXPECT_EQ(Stray(Save(grey4.get(), FIF_BMP, "grey4.bmp")), 0);
  EXPECT_EQ(Stray(Save(grey4.get(), FIF_PNG, "grey4.png")), 0);
  EXPECT_EQ(Stray(Save(colour4.get(), FIF_BMP, "colour4.bmp")), 0);
  EXPECT_EQ(Stray(Save(reversedGrey.get(), FIF_PNG, "reversed.png")), 0);
  EXPECT_EQ(Stray(Save(reversedGrey.get(), FIF_GIF, "reversed.gif")), 0);
}

// Samples Flate cannot shrink (noise) are stored as they are: the PDF holds
// no more image bytes than the uncompressed TIFF, and every pixel.
TEST_F(PixelFidelity, NoiseTakesNoMoreBytesThanItsSamples) {
  unsigned seed = 12345;
  Dib noise = Make(FIT_BITMAP, 300, 200, 24, [&seed](FIBITMAP* d) {
    for (unsigned y = 0; y < 200; ++y) {
      BYTE* line = FreeImage_GetScanLine(d, static_cast<int>(y));
      for (unsigned i = 0; i < 300 * 3; ++i) line[i] = BYTE((seed = seed * 1103515245u + 12345u) >> 16);
    }
  });
  const std::string tif = Save(noise.get(), FIF_TIFF, "noise.tif", TIFF_NONE);
  EXPECT_EQ(Stray(tif), 0);
  QPDF pdf;
  pdf.processFile((tif + ".pdf").c_str());
  QPDFObjectHandle page = pdf.getAllPages().at(0);
  QPDFObjectHandle image = page.getKey("/Resources").getKey("/XObject").getKey("/Im1");
  EXPECT_LE(image.getDict().getKey("/Length").getIntValue(), 300 * 200 * 3);
}

TEST_F(PixelFidelity, DeepImagesComeDownToEightBits) {
  Dib grey16 = Make(FIT_UINT16, 40, 20, 16, [](FIBITMAP* d) {
    for (int y = 0; y < 20; ++y) {
      auto* line = reinterpret_cast<WORD*>(FreeImage_GetScanLine(d, y));
      for (int x = 0; x < 40; ++x) line[x] = WORD(x * 1600 + y * 7);
    }
  });
  Dib rgb16 = Make(FIT_RGB16, 40, 20, 48, [](FIBITMAP* d) {
    for (int y = 0; y < 20; ++y) {
      auto* line = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(d, y));
      for (int x = 0; x < 40; ++x) line[x] = FIRGB16{WORD(x * 1600), WORD(y * 3000), 40000};
    }
  });
  Dib rgba16 = Make(FIT_RGBA16, 40, 20, 64, [](FIBITMAP* d) {
    for (int y = 0; y < 20; ++y) {
      auto* line = reinterpret_cast<FIRGBA16*>(FreeImage_GetScanLine(d, y));
      for (int x = 0; x < 40; ++x) line[x] = FIRGBA16{WORD(x * 1600), WORD(y * 3000), 40000, WORD(x < 20 ? 0 : 65535)};
    }
  });
  EXPECT_LE(Stray(Save(grey16.get(), FIF_PNG, "grey16.png")), 1);
  EXPECT_LE(Stray(Save(grey16.get(), FIF_PGMRAW, "grey16.pgm")), 1);
  EXPECT_LE(Stray(Save(grey16.get(), FIF_TIFF, "grey16.tif")), 1);
  EXPECT_LE(Stray(Save(rgb16.get(), FIF_PNG, "rgb16.png")), 1);
  EXPECT_LE(Stray(Save(rgb16.get(), FIF_PPMRAW, "rgb16.ppm")), 1);
  EXPECT_LE(Stray(Save(rgb16.get(), FIF_TIFF, "rgb16.tif")), 1);
  EXPECT_LE(Stray(Save(rgba16.get(), FIF_PNG, "rgba16.png")), 1);
}

// The PNG at path with a gAMA chunk stating gamma (in 100000ths) after its header.
void AddGamma(const std::string& path, uint32_t gamma) {
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  const std::string chunk = "gAMA" + be32(gamma);
  std::string png = tessa::test::ReadFile(path);
  png.insert(33, be32(4) + chunk + be32(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(chunk.data()), 8))));
  WriteFile(path, png);
}

// A PNG without alpha goes in as its compressed rows stand (Flate with PNG
// prediction), new, appended straight or through the document model, and
// shows as the decoder shows it; any other PNG is decoded and shows the same.
TEST_F(PixelFidelity, PngRowsGoInAsTheyStandWhereTheyShowTheSame) {
  auto ramp = [](FIBITMAP* d) { FillIndices(d, [](int x, int y) { return unsigned((x * 7 + y * 3) % 256); }); };
  Dib rgb = Make(FIT_BITMAP, 37, 19, 24, [](FIBITMAP* d) {
    for (int y = 0; y < 19; ++y)
      for (int x = 0; x < 37; ++x) {
        BYTE* px = FreeImage_GetScanLine(d, y) + 3 * x;
        px[FI_RGBA_RED] = BYTE(x * 7), px[FI_RGBA_GREEN] = BYTE(y * 13), px[FI_RGBA_BLUE] = BYTE(x * y);
      }
  });
  Dib grey = Make(FIT_BITMAP, 37, 19, 8, [&](FIBITMAP* d) {
    for (int i = 0; i < 256; ++i) FreeImage_GetPalette(d)[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
    ramp(d);
  });
  Dib palette = Make(FIT_BITMAP, 37, 19, 8, [&](FIBITMAP* d) {
    for (int i = 0; i < 256; ++i) FreeImage_GetPalette(d)[i] = RGBQUAD{BYTE(i * 5), BYTE(255 - i), BYTE(i * 3), 0};
    ramp(d);
  });
  Dib clear = Make(FIT_BITMAP, 37, 19, 8, [&](FIBITMAP* d) {
    SetPalette(d, {{0, 0, 255, 0}, {255, 0, 0, 0}});
    FillIndices(d, [](int x, int) { return unsigned(x % 2); });
    BYTE table[2] = {0, 255};
    FreeImage_SetTransparencyTable(d, table, 2);
  });
  Dib bilevel = Make(FIT_BITMAP, 37, 19, 1, [](FIBITMAP* d) {
    SetPalette(d, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    FillIndices(d, [](int x, int y) { return unsigned((x * y) % 3 == 0); });
  });
  Dib palette4 = Make(FIT_BITMAP, 37, 19, 4, [](FIBITMAP* d) {
    for (int i = 0; i < 16; ++i) FreeImage_GetPalette(d)[i] = RGBQUAD{BYTE(i * 16), 200, BYTE(255 - i * 9), 0};
    FillIndices(d, [](int x, int y) { return unsigned((x + 2 * y) % 16); });
  });
  Dib rgba = Make(FIT_BITMAP, 37, 19, 32, FillRgba);
  Dib rgb16(FreeImage_ConvertToRGB16(rgb.get()));
  Dib grey16(FreeImage_ConvertToUINT16(grey.get()));
  const struct {
    const char* name;
    FIBITMAP* dib;
    int flags;
    uint32_t gamma;  // 0 for no gAMA chunk
    bool asIs;
  } cases[] = {{"rgb", rgb.get(), 0, 0, true},           {"grey", grey.get(), 0, 0, true},
               {"palette", palette.get(), 0, 0, true},   {"rgb16", rgb16.get(), 0, 0, true},
               {"grey16", grey16.get(), 0, 0, true},     {"bilevel", bilevel.get(), 0, 0, true},
               {"palette4", palette4.get(), 0, 0, true},  {"display-gamma", rgb.get(), 0, 45455, true},
               {"linear-gamma", rgb.get(), 0, 100000, false}, {"interlaced", rgb.get(), PNG_INTERLACED, 0, false},
               {"alpha", rgba.get(), 0, 0, false},       {"trns", clear.get(), 0, 0, false}};
  const std::string all = File("all.pdf");
  int page = 0;
  for (const auto& c : cases) {
    const std::string png = Save(c.dib, FIF_PNG, std::string(c.name) + ".png", c.flags);
    if (c.gamma) AddGamma(png, c.gamma);
    EXPECT_LE(Stray(png), 1) << c.name;
    // As they stand: the PDF holds the PNG's compressed rows (the IDAT chunk's body).
    const std::string bytes = tessa::test::ReadFile(png);
    const size_t at = bytes.find("IDAT");
    const std::string idat = bytes.substr(at + 4, size_t(uint8_t(bytes[at - 2])) << 8 | uint8_t(bytes[at - 1]));
    EXPECT_EQ(tessa::test::ReadFile(png + ".pdf").find(idat) != std::string::npos, c.asIs) << c.name;
    ASSERT_EQ(Convert(png, all, FT_AUTO, true), CR_Success) << c.name;
    Dib shown = Render(all, ++page, png + ".appended");
    ASSERT_TRUE(shown) << c.name;
    EXPECT_LE(MaxDifference(shown.get(), Expected(png).get()), 1) << c.name;
  }
  EXPECT_TRUE(InspectPdf(all).checkPassed);
}

TEST_F(PixelFidelity, TransparencyFallsOnWhite) {
  Dib rgba = Make(FIT_BITMAP, 42, 18, 32, FillRgba);
  EXPECT_LE(Stray(Save(rgba.get(), FIF_PNG, "alpha.png")), 1);
  EXPECT_LE(Stray(Save(rgba.get(), FIF_TIFF, "alpha.tif")), 1);
  EXPECT_LE(Stray(Save(rgba.get(), FIF_TARGA, "alpha.tga")), 1);
  Dib icon = Make(FIT_BITMAP, 32, 32, 32, FillRgba);
  EXPECT_LE(Stray(Save(icon.get(), FIF_ICO, "alpha.ico")), 1);

  Dib palette = Make(FIT_BITMAP, 30, 12, 8, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 256; ++i) pal[i] = RGBQUAD{BYTE(i), 0, BYTE(255 - i), 0};
    FillIndices(d, [](int x, int y) { return unsigned(x * 8 + y); });
    BYTE table[256];
    for (int i = 0; i < 256; ++i) table[i] = i < 8 ? 0 : 255;
    FreeImage_SetTransparencyTable(d, table, 256);
  });
  EXPECT_LE(Stray(Save(palette.get(), FIF_PNG, "clear-palette.png")), 1);
  EXPECT_LE(Stray(Save(palette.get(), FIF_GIF, "clear-palette.gif")), 1);
  for (int bpp : {1, 4}) {
    Dib small = Make(FIT_BITMAP, 30, 12, bpp, [bpp](FIBITMAP* d) {
      RGBQUAD* pal = FreeImage_GetPalette(d);
      for (int i = 0; i < (1 << bpp); ++i) pal[i] = RGBQUAD{BYTE(i * 15), 90, BYTE(200 - i * 10), 0};
      FillIndices(d, [bpp](int x, int y) { return unsigned((x + y) % (1 << bpp)); });
      BYTE table[16] = {0, 255, 128, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
      FreeImage_SetTransparencyTable(d, table, 1 << bpp);
    });
    EXPECT_LE(Stray(Save(small.get(), FIF_PNG, "clear-" + std::to_string(bpp) + ".png")), 1) << bpp;
  }
}

TEST_F(PixelFidelity, IconMaskIsTransparency) {
  // A palette icon keeps its transparency in a mask beside the colours.
  Dib icon = Make(FIT_BITMAP, 16, 16, 8, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 256; ++i) pal[i] = RGBQUAD{BYTE(255 - i), 0, BYTE(i), 0};
    FillIndices(d, [](int x, int) { return x < 8 ? 0u : 200u; });
    BYTE table[256];
    for (int i = 0; i < 256; ++i) table[i] = i == 0 ? 0 : 255;
    FreeImage_SetTransparencyTable(d, table, 256);
  });
  const std::string ico = Save(icon.get(), FIF_ICO, "masked.ico");
  ASSERT_EQ(Convert(ico, File("masked.pdf"), FT_ICO), CR_Success);
  Dib page = Render(File("masked.pdf"), 1, File("masked.page"));
  ASSERT_TRUE(page);
  RGBQUAD clear{}, solid{};
  FreeImage_GetPixelColor(page.get(), 3 * kZoom, 8 * kZoom, &clear);
  FreeImage_GetPixelColor(page.get(), 12 * kZoom, 8 * kZoom, &solid);
  EXPECT_EQ((std::array<int, 3>{clear.rgbRed, clear.rgbGreen, clear.rgbBlue}), (std::array<int, 3>{255, 255, 255}));
  EXPECT_EQ((std::array<int, 3>{solid.rgbRed, solid.rgbGreen, solid.rgbBlue}), (std::array<int, 3>{200, 0, 55}));
}

// The same bitmap with a newer, longer information header (108 or 124
// bytes, as many drawing programs write), colour masks inside it.
std::string WithLongHeader(const std::string& classic, uint32_t headerSize) {
  auto le32 = [](const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
  };
  auto put32 = [](std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  std::string header = classic.substr(14, 40);
  header.resize(headerSize, '\0');
  put32(header, 0, headerSize);
  put32(header, 40, 0x00FF0000);  // red, green, blue and alpha masks
  put32(header, 44, 0x0000FF00);
  put32(header, 48, 0x000000FF);
  put32(header, 52, 0xFF000000);
  put32(header, 56, 0x73524742);  // "sRGB"
  std::string out = classic.substr(0, 14) + header + classic.substr(54);
  put32(out, 2, static_cast<uint32_t>(out.size()));
  put32(out, 10, le32(classic, 10) + headerSize - 40);
  return out;
}

TEST_F(PixelFidelity, BitmapsWithLongerHeadersAreRead) {
  Dib rgb = Make(FIT_BITMAP, 42, 18, 24, [](FIBITMAP* d) {
    for (int y = 0; y < 18; ++y) {
      BYTE* line = FreeImage_GetScanLine(d, y);
      for (int x = 0; x < 42; ++x) {
        line[x * 3 + FI_RGBA_RED] = BYTE(x * 6);
        line[x * 3 + FI_RGBA_GREEN] = BYTE(y * 14);
        line[x * 3 + FI_RGBA_BLUE] = 90;
      }
    }
  });
  Dib bilevel = Make(FIT_BITMAP, 45, 21, 1, [](FIBITMAP* d) {
    SetPalette(d, {{255, 255, 255, 0}, {0, 0, 0, 0}});
    FillIndices(d, [](int x, int y) { return unsigned((x / 3 + y / 2) % 2); });
  });
  Dib palette = Make(FIT_BITMAP, 33, 17, 8, [](FIBITMAP* d) {
    RGBQUAD* pal = FreeImage_GetPalette(d);
    for (int i = 0; i < 256; ++i) pal[i] = RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 7), 0};
    FillIndices(d, [](int x, int y) { return unsigned((x * 7 + y * 3) % 256); });
  });
  Dib rgba = Make(FIT_BITMAP, 42, 18, 32, FillRgba);
  int n = 0;
  for (FIBITMAP* dib : {rgb.get(), bilevel.get(), palette.get(), rgba.get()}) {
    const std::string classic = tessa::test::ReadFile(Save(dib, FIF_BMP, "classic" + std::to_string(n) + ".bmp"));
    for (uint32_t size : {108u, 124u}) {
      const std::string name = "long" + std::to_string(n) + "-" + std::to_string(size) + ".bmp";
      const std::string bmp = WriteFile(File(name), WithLongHeader(classic, size));
      EXPECT_EQ(Convert(bmp, File(name + ".pdf"), FT_BMP), CR_Success) << name;
      Dib page = Render(File(name + ".pdf"), 1, File(name + ".page"));
      Dib expected = Expected(File("classic" + std::to_string(n) + ".bmp"));
      ASSERT_TRUE(expected);
      EXPECT_LE(page ? MaxDifference(page.get(), expected.get()) : 999, 1) << name;
    }
    ++n;
  }
}

TEST_F(PixelFidelity, FourChannelBitmapsWithoutAlphaStayVisible) {
  // Many programs write 32-bit BMP files whose fourth byte is always 0.
  Dib rgbx = Make(FIT_BITMAP, 42, 18, 32, [](FIBITMAP* d) {
    FillRgba(d);
    for (int y = 0; y < 18; ++y) {
      BYTE* line = FreeImage_GetScanLine(d, y);
      for (int x = 0; x < 42; ++x) line[x * 4 + FI_RGBA_ALPHA] = 0;
    }
  });
  const std::string bmp = Save(rgbx.get(), FIF_BMP, "rgbx.bmp");
  ASSERT_EQ(Convert(bmp, File("rgbx.pdf")), CR_Success);
  Dib page = Render(File("rgbx.pdf"), 1, File("rgbx.page"));
  Dib opaque(FreeImage_ConvertTo24Bits(rgbx.get()));
  ASSERT_TRUE(page);
  EXPECT_EQ(MaxDifference(page.get(), opaque.get()), 0);
}

TEST_F(PixelFidelity, AdobeCmykJpegShowsItsColours) {
  const std::string jpg = WriteFile(File("cmyk.jpg"), FromHex(kAdobeCmykJpeg));
  ASSERT_EQ(Convert(jpg, File("cmyk.pdf"), FT_JPEG), CR_Success);
  PdfReport report = InspectPdf(File("cmyk.pdf"));
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "jpeg");
  EXPECT_EQ(report.images[0].color, "cmyk");
  Dib page = Render(File("cmyk.pdf"), 1, File("cmyk.page"));
  ASSERT_TRUE(page);
  RGBQUAD left{}, right{};
  FreeImage_GetPixelColor(page.get(), 2 * kZoom, 4 * kZoom, &left);
  FreeImage_GetPixelColor(page.get(), 13 * kZoom, 4 * kZoom, &right);
  EXPECT_GT(left.rgbRed, 180);
  EXPECT_LT(left.rgbBlue, 80);
  EXPECT_GT(right.rgbBlue, 120);
  EXPECT_LT(right.rgbRed, 80);
}

// Writes a 1-bit page through libtiff, which lays out strips and fax
// options as the caller asks (FreeImage always writes one strip).
void WriteFaxTiff(const std::string& path, FIBITMAP* dib, uint16_t compression, uint32_t g3options,
                  uint32_t rowsPerStrip, uint16_t photometric, uint16_t fillOrder) {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr);
  const uint32_t w = FreeImage_GetWidth(dib), h = FreeImage_GetHeight(dib);
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 1);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 1);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, compression);
  TIFFSetField(tif, TIFFTAG_FILLORDER, fillOrder);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  if (compression == COMPRESSION_CCITTFAX3) TIFFSetField(tif, TIFFTAG_GROUP3OPTIONS, g3options);
  std::vector<uint8_t> line((w + 7) / 8);
  for (uint32_t y = 0; y < h; ++y) {
    // FreeImage keeps rows bottom up, and its 1 bits white (palette 0 black).
    const BYTE* src = FreeImage_GetScanLine(dib, static_cast<int>(h - 1 - y));
    for (size_t i = 0; i < line.size(); ++i) {
      line[i] = photometric == PHOTOMETRIC_MINISBLACK ? src[i] : static_cast<uint8_t>(~src[i]);
    }
    TIFFWriteScanline(tif, line.data(), y);
  }
  TIFFClose(tif);
}

TEST_F(PixelFidelity, FaxCodedTiffPagesGoInAsCodedAndLookTheSame) {
  Dib page = Make(FIT_BITMAP, 61, 40, 1, [](FIBITMAP* d) {
    SetPalette(d, {{0, 0, 0, 0}, {255, 255, 255, 0}});
    FillIndices(d, [](int x, int y) { return unsigned((x * x + y * 3) % 7 < 3); });
  });
  struct Case {
    const char* name;
    uint16_t compression;
    uint32_t g3options, rowsPerStrip;
    uint16_t photometric, fillOrder;
  } cases[] = {
      {"g4-strips", COMPRESSION_CCITTFAX4, 0, 7, PHOTOMETRIC_MINISWHITE, FILLORDER_MSB2LSB},
      {"g4-black0", COMPRESSION_CCITTFAX4, 0, 40, PHOTOMETRIC_MINISBLACK, FILLORDER_MSB2LSB},
      {"g4-lsb", COMPRESSION_CCITTFAX4, 0, 40, PHOTOMETRIC_MINISWHITE, FILLORDER_LSB2MSB},
      {"g3-1d", COMPRESSION_CCITTFAX3, 0, 40, PHOTOMETRIC_MINISWHITE, FILLORDER_MSB2LSB},
      {"g3-2d-aligned", COMPRESSION_CCITTFAX3, GROUP3OPT_2DENCODING | GROUP3OPT_FILLBITS, 40, PHOTOMETRIC_MINISBLACK,
       FILLORDER_MSB2LSB},
  };
  const std::string expected = Save(page.get(), FIF_PNG, "expected.png");
  Dib want = Expected(expected);
  for (const Case& c : cases) {
    const std::string tif = File(std::string(c.name) + ".tif");
    WriteFaxTiff(tif, page.get(), c.compression, c.g3options, c.rowsPerStrip, c.photometric, c.fillOrder);
    const std::string pdf = tif + ".pdf";
    ASSERT_EQ(Convert(tif, pdf, FT_TIFF), CR_Success) << c.name;
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << c.name;
    ASSERT_EQ(report.images.size(), 1u) << c.name;
    EXPECT_EQ(report.images[0].encoding, "ccitt") << c.name;
    Dib rendered = Render(pdf, 1, tif + ".page");
    ASSERT_TRUE(rendered) << c.name;
    EXPECT_EQ(MaxDifference(rendered.get(), want.get()), 0) << c.name;
  }
}

}  // namespace
}  // namespace quirepane::test

namespace quirepane::test {
namespace {

// One page of rgb (24-bit) appended to tif, coded with JPEG: colour as
// YCbCr or RGB, or its grey, in strips of rowsPerStrip rows.
void AppendJpegPage(TIFF* tif, FIBITMAP* rgb, uint16_t photometric, uint32_t rowsPerStrip) {
  const uint32_t w = FreeImage_GetWidth(rgb), h = FreeImage_GetHeight(rgb);
  const int samples = photometric == PHOTOMETRIC_MINISBLACK ? 1 : 3;
  TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, w);
  TIFFSetField(tif, TIFFTAG_IMAGELENGTH, h);
  TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
  TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, samples);
  TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
  TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
  TIFFSetField(tif, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
  TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
  if (photometric == PHOTOMETRIC_YCBCR) TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
  TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, rowsPerStrip);
  std::vector<uint8_t> line(w * samples);
  for (uint32_t y = 0; y < h; ++y) {
    const BYTE* src = FreeImage_GetScanLine(rgb, static_cast<int>(h - 1 - y));
    for (uint32_t x = 0; x < w; ++x) {
      const BYTE* px = src + 3 * x;
      if (samples == 1) {
        line[x] = px[FI_RGBA_GREEN];
      } else {
        line[3 * x] = px[FI_RGBA_RED];
        line[3 * x + 1] = px[FI_RGBA_GREEN];
        line[3 * x + 2] = px[FI_RGBA_BLUE];
      }
    }
    TIFFWriteScanline(tif, line.data(), y);
  }
  TIFFWriteDirectory(tif);
}

// Page `page` of a TIFF as FreeImage decodes it, over white.
Dib ExpectedPage(const std::string& tif, int page) {
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, tif.c_str(), FALSE, TRUE, FALSE, 0);
  if (!multi) return nullptr;
  FIBITMAP* locked = FreeImage_LockPage(multi, page);
  Dib rgba(locked ? FreeImage_ConvertTo32Bits(locked) : nullptr);
  if (locked) FreeImage_UnlockPage(multi, locked, FALSE);
  FreeImage_CloseMultiBitmap(multi, 0);
  return rgba;
}

TEST_F(PixelFidelity, JpegCodedTiffPagesInOnePieceGoInAsTheirJpegBytes) {
  Dib photo = Make(FIT_BITMAP, 48, 32, 24, [](FIBITMAP* d) {
    for (int y = 0; y < 32; ++y) {
      BYTE* line = FreeImage_GetScanLine(d, y);
      for (int x = 0; x < 48; ++x) {
        line[3 * x + FI_RGBA_RED] = BYTE(40 + x * 3);
        line[3 * x + FI_RGBA_GREEN] = BYTE(200 - y * 4);
        line[3 * x + FI_RGBA_BLUE] = BYTE(90 + (x + y) * 2);
      }
    }
  });
  struct Case {
    const char* name;
    uint16_t photometric;
    uint32_t rowsPerStrip;
    const char* encoding;  // as pdfimages lists it
  } cases[] = {
      {"ycbcr", PHOTOMETRIC_YCBCR, 32, "jpeg"},
      {"grey", PHOTOMETRIC_MINISBLACK, 32, "jpeg"},
      {"rgb", PHOTOMETRIC_RGB, 32, "jpeg"},
      {"ycbcr-strips", PHOTOMETRIC_YCBCR, 16, "image"},
  };
  // Each kind alone (the single-page road) and all in one file.
  const std::string all = File("all.tif");
  TIFF* many = TIFFOpen(all.c_str(), "w");
  ASSERT_NE(many, nullptr);
  for (const Case& c : cases) {
    const std::string tif = File(std::string(c.name) + ".tif");
    TIFF* one = TIFFOpen(tif.c_str(), "w");
    ASSERT_NE(one, nullptr);
    AppendJpegPage(one, photo.get(), c.photometric, c.rowsPerStrip);
    TIFFClose(one);
    AppendJpegPage(many, photo.get(), c.photometric, c.rowsPerStrip);
  }
  TIFFClose(many);

  auto check = [&](const std::string& tif, int page, const PdfReport& report, const Case& c) {
    ASSERT_GT(report.images.size(), size_t(page)) << c.name;
    EXPECT_EQ(report.images[page].encoding, c.encoding) << c.name;
    Dib rendered = Render(tif + ".pdf", page + 1, tif + ".page");
    Dib want = ExpectedPage(tif, page);
    ASSERT_TRUE(rendered && want) << c.name;
    EXPECT_LE(MaxDifference(rendered.get(), want.get()), 2) << c.name;
  };
  for (const Case& c : cases) {
    const std::string tif = File(std::string(c.name) + ".tif");
    ASSERT_EQ(Convert(tif, tif + ".pdf", FT_TIFF), CR_Success) << c.name;
    const PdfReport report = InspectPdf(tif + ".pdf");
    EXPECT_TRUE(report.checkPassed) << c.name;
    check(tif, 0, report, c);
    // Readers that go by the filter's parameters alone must not take RGB for YCbCr.
    const bool keepsRgb = tessa::test::ReadFile(tif + ".pdf").find("/ColorTransform 0") != std::string::npos;
    EXPECT_EQ(keepsRgb, c.photometric == PHOTOMETRIC_RGB && c.rowsPerStrip == 32) << c.name;
  }
  ASSERT_EQ(Convert(all, all + ".pdf", FT_TIFF), CR_Success);
  const PdfReport report = InspectPdf(all + ".pdf");
  EXPECT_TRUE(report.checkPassed);
  for (int k = 0; k < 4; ++k) check(all, k, report, cases[k]);
}

// Decoded pages are stored with PNG row prediction on every road into a
// PDF (a new file, an update written straight from the file's end, one
// through the document model, a TIFF's pages at once) and keep every pixel.
TEST_F(PixelFidelity, DecodedPagesArePredictedAndKeepEveryPixel) {
  unsigned seed = 7;
  Dib photo = Make(FIT_BITMAP, 45, 30, 24, [&seed](FIBITMAP* d) {
    for (int y = 0; y < 30; ++y)
      for (int x = 0; x < 45; ++x) {
        BYTE* px = FreeImage_GetScanLine(d, y) + 3 * x;
        seed = seed * 1103515245u + 12345u;
        px[FI_RGBA_RED] = BYTE(x * 5 + (seed >> 28)), px[FI_RGBA_GREEN] = BYTE(y * 8), px[FI_RGBA_BLUE] = BYTE(x * y);
      }
  });
  Dib grey(FreeImage_ConvertToGreyscale(photo.get()));
  const std::string bmp = Save(photo.get(), FIF_BMP, "photo.bmp");
  const std::string greyTif = Save(grey.get(), FIF_TIFF, "grey.tif", TIFF_LZW);
  const std::string twoPages = File("two.tif");
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, twoPages.c_str(), TRUE, FALSE, FALSE, 0);
  ASSERT_NE(multi, nullptr);
  FreeImage_AppendPage(multi, photo.get());
  FreeImage_AppendPage(multi, grey.get());
  FreeImage_CloseMultiBitmap(multi, TIFF_LZW);
  const struct {
    std::string source, title;
    bool append;
  } roads[] = {{bmp, "", false}, {greyTif, "", true}, {bmp, "retitled", true}, {twoPages, "", true}};
  const std::string pdf = File("decoded.pdf");
  std::vector<Dib> expected;
  for (const auto& road : roads) {
    ASSERT_EQ(Convert(road.source, pdf, FT_AUTO, road.append, road.title), CR_Success) << road.source;
    expected.push_back(road.source == twoPages ? ExpectedPage(twoPages, 0) : Expected(road.source));
    if (road.source == twoPages) expected.push_back(ExpectedPage(twoPages, 1));
  }
  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
  QPDF document;
  document.processFile(pdf.c_str());
  std::vector<QPDFObjectHandle> pages = document.getAllPages();
  ASSERT_EQ(pages.size(), expected.size());
  for (size_t i = 0; i < pages.size(); ++i) {
    QPDFObjectHandle xobjects = pages[i].getKey("/Resources").getKey("/XObject");
    QPDFObjectHandle parms = xobjects.getKey(*xobjects.getKeys().begin()).getDict().getKey("/DecodeParms");
    EXPECT_EQ(parms.isDictionary() ? parms.getKey("/Predictor").getIntValue() : 0, 15) << "page " << i + 1;
    Dib shown = Render(pdf, int(i) + 1, pdf + std::to_string(i));
    ASSERT_TRUE(shown && expected[i]);
    EXPECT_EQ(MaxDifference(shown.get(), expected[i].get()), 0) << "page " << i + 1;
  }
}

}  // namespace
}  // namespace quirepane::test
