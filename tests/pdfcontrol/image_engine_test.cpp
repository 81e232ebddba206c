#include "pdfcontrol/image_engine.h"

#include <gtest/gtest.h>

#include "image_factory.h"
#include "pdfcontrol/bitmap_convert.h"
#include "pdfcontrol/jpeg_header.h"
#include "pdfcontrol/stored_resolution.h"
#include "pdfcontrol/tiff_pages.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::TempDir;
using tessa::test::WriteFile;

TEST(ImageEngineFormats, ContentDecidesAndTheNameOnlyWhenContentIsSilent) {
  TempDir dir;
  ImageEngine engine;
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("a.png"), FIF_PNG, 8, 8)), 13);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("png-named.bmp"), FIF_PNG, 8, 8)), 13);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("a.gif"), FIF_GIF, 8, 8, Pixels::Palette8)), kFormatGif);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("a.tif"), FIF_TIFF, 8, 8)), 18);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("a.wbmp"), FIF_WBMP, 8, 8, Pixels::Bilevel)), 19);
  EXPECT_EQ(engine.DetectFormat(WriteFile(dir.file("doc.pdf"), "%PDF-1.4\n")), kFormatPdf);
  EXPECT_EQ(engine.DetectFormat(WriteFile(dir.file("note.txt"), "hello")), kFormatUnknown);
  EXPECT_EQ(engine.DetectFormat(dir.file("missing.png")), kFormatUnknown);
  EXPECT_EQ(engine.DetectFormat(WriteFile(dir.file("empty.png"), "")), kFormatUnknown);
}

TEST(ImageEngineFormats, PortableAnyMapsAreToldApartByTheirMagic) {
  TempDir dir;
  ImageEngine engine;
  // The file names all say ".pnm"; only the first two bytes differ.
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("1.pnm"), FIF_PBM, 8, 8, Pixels::Bilevel, 0, PNM_SAVE_ASCII)), 7);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("4.pnm"), FIF_PBMRAW, 8, 8, Pixels::Bilevel)), 8);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("2.pnm"), FIF_PGM, 8, 8, Pixels::Grey8, 0, PNM_SAVE_ASCII)), 11);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("5.pnm"), FIF_PGMRAW, 8, 8, Pixels::Grey8)), 12);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("3.pnm"), FIF_PPM, 8, 8, Pixels::Rgb24, 0, PNM_SAVE_ASCII)), 14);
  EXPECT_EQ(engine.DetectFormat(MakeImage(dir.file("6.pnm"), FIF_PPMRAW, 8, 8)), 15);
}

TEST(ImageEngineResolution, ReportsOnlyWhatTheFileStores) {
  TempDir dir;
  ImageEngine engine;
  struct Case {
    const char* name;
    FREE_IMAGE_FORMAT fif;
    long format;
  };
  for (const Case& c : {Case{"r.png", FIF_PNG, 13}, Case{"r.jpg", FIF_JPEG, 2}, Case{"r.tif", FIF_TIFF, 18},
                        Case{"r.bmp", FIF_BMP, 0}}) {
    MakeImage(dir.file(c.name), c.fif, 40, 20, Pixels::Rgb24, 3937);
    LoadedImage image = engine.Load(dir.file(c.name), c.format, ImageEngine::kHeaderOnly);
    ASSERT_TRUE(image.ok()) << c.name;
    EXPECT_EQ(engine.Width(image), 40) << c.name;
    EXPECT_EQ(engine.Height(image), 20) << c.name;
    EXPECT_NEAR(engine.HorizontalResolution(image), 3937, 1) << c.name;
    EXPECT_NEAR(engine.VerticalResolution(image), 3937, 1) << c.name;
  }
  for (const Case& c : {Case{"n.png", FIF_PNG, 13}, Case{"n.bmp", FIF_BMP, 0}, Case{"n.tga", FIF_TARGA, 17},
                        Case{"n.ppm", FIF_PPMRAW, 15}}) {
    MakeImage(dir.file(c.name), c.fif, 40, 20, Pixels::Rgb24, 0);
    LoadedImage image = engine.Load(dir.file(c.name), c.format, 0);
    ASSERT_TRUE(image.ok()) << c.name;
    EXPECT_EQ(engine.HorizontalResolution(image), 0) << c.name;
  }
}

TEST(ImageEngineResolution, JfifWithoutUnitsHoldsNone) {
  TempDir dir;
  // A JPEG whose JFIF header gives only an aspect ratio (units 0, density 1:1).
  MakeImage(dir.file("plain.jpg"), FIF_JPEG, 16, 16, Pixels::Rgb24, 0);
  auto stored = ReadStoredResolution(dir.file("plain.jpg"), 2);
  ASSERT_TRUE(stored.has_value());
  EXPECT_EQ(stored->x, 0);
}

TEST(ImageEngineBitmap, SavingKeepsNoResolutionAsNone) {
  TempDir dir;
  ImageEngine engine;
  MakeImage(dir.file("a.png"), FIF_PNG, 30, 10, Pixels::Rgba32, 0);
  LoadedImage image = engine.Load(dir.file("a.png"), 13, 0);
  ASSERT_TRUE(engine.SaveAsBmp(image, dir.file("a.bmp"), 0, 0, true));
  LoadedImage bmp = engine.Load(dir.file("a.bmp"), 0, ImageEngine::kHeaderOnly);
  EXPECT_EQ(engine.HorizontalResolution(bmp), 0);
  EXPECT_EQ(FreeImage_GetBPP(bmp.dib()), 24u);  // alpha composited away
  LoadedImage header = engine.Load(dir.file("a.png"), 13, ImageEngine::kHeaderOnly);
  EXPECT_FALSE(engine.SaveAsBmp(header, dir.file("b.bmp"), 0, 0, true));  // no pixels to save
  EXPECT_FALSE(std::filesystem::exists(dir.file("b.bmp")));
}

TEST(BitmapConversion, UnreadableInputLeavesNoOutput) {
  TempDir dir;
  clsConvertToBitmap convert;
  EXPECT_FALSE(convert.ConvertToBitmap(WriteFile(dir.file("x.png"), "not an image"), dir.file("x.bmp"), 13));
  EXPECT_FALSE(convert.ConvertToBitmap(dir.file("missing.png"), dir.file("y.bmp"), -1));
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.bmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("y.bmp")));
}

TEST(MultipageTiff, CountsPagesAndWritesTheOneAsked) {
  TempDir dir;
  clsMultipage pages;
  EXPECT_EQ(pages.GetPageCount(dir.file("missing.tif")), 0);
  EXPECT_EQ(pages.GetPageCount(MakeImage(dir.file("a.png"), FIF_PNG, 8, 8)), 0);
  EXPECT_EQ(pages.GetPageCount(MakeImage(dir.file("one.tif"), FIF_TIFF, 8, 8)), 1);

  MakeMultipageTiff(dir.file("three.tif"), {{10, 11}, {20, 21}, {30, 31}});
  EXPECT_EQ(pages.GetPageCount(dir.file("three.tif")), 3);
  EXPECT_FALSE(pages.ConvertTIFFPageToBitmap(dir.file("three.tif"), dir.file("p3.bmp"), 3));
  EXPECT_FALSE(pages.ConvertTIFFPageToBitmap(dir.file("three.tif"), dir.file("pm.bmp"), -1));
  EXPECT_FALSE(std::filesystem::exists(dir.file("p3.bmp")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("pm.bmp")));

  ASSERT_TRUE(pages.ConvertTIFFPageToBitmap(dir.file("three.tif"), dir.file("p2.bmp"), 2));
  ImageEngine engine;
  LoadedImage third = engine.Load(dir.file("p2.bmp"), 0, 0);
  EXPECT_EQ(engine.Width(third), 30);
  EXPECT_EQ(engine.Height(third), 31);
}

}  // namespace
}  // namespace quirepane::test

namespace quirepane::test {
namespace {

// SOI, an optional Adobe marker, a frame header and the start of scan.
std::string JpegHeader(unsigned char frame, int precision, int components, bool adobe) {
  std::string bytes = "\xFF\xD8";
  if (adobe) bytes += std::string("\xFF\xEE\x00\x0E" "Adobe\x00\x64\x00\x00\x00\x00\x02", 16);
  const int len = 8 + 3 * components;
  bytes += std::string{'\xFF', static_cast<char>(frame), 0, static_cast<char>(len), static_cast<char>(precision),
                       0, 20, 0, 30, static_cast<char>(components)};
  for (int i = 0; i < components; ++i) bytes += std::string{static_cast<char>(i + 1), 0x11, 0};
  bytes += std::string("\xFF\xDA\x00\x02", 4);
  return bytes;
}

TEST(JpegHeader, PassesBaselineAndProgressiveOnly) {
  auto cmyk = ReadJpegInfo(JpegHeader(0xC0, 8, 4, true));
  ASSERT_TRUE(cmyk.has_value());
  EXPECT_EQ(cmyk->width, 30);
  EXPECT_EQ(cmyk->height, 20);
  EXPECT_EQ(cmyk->components, 4);
  EXPECT_TRUE(cmyk->adobe);
  EXPECT_TRUE(ReadJpegInfo(JpegHeader(0xC2, 8, 1, false)).has_value());
  EXPECT_FALSE(ReadJpegInfo(JpegHeader(0xC0, 12, 3, false)).has_value());  // 12-bit samples
  EXPECT_FALSE(ReadJpegInfo(JpegHeader(0xC3, 8, 3, false)).has_value());   // lossless
  EXPECT_FALSE(ReadJpegInfo(JpegHeader(0xC0, 8, 2, false)).has_value());   // two components
  EXPECT_FALSE(ReadJpegInfo("\x89PNG\r\n").has_value());
}

// Any page is read straight from the mapping, in any order; the count ends
// where the chain of pages leaves the file.
TEST(MultipageTiff, PagesAreReadStraightFromTheMapping) {
  TempDir dir;
  const std::string three = MakeMultipageTiff(dir.file("three.tif"), {{10, 11}, {20, 21}, {30, 31}}, TIFF_NONE);
  const TiffPages pages(three);
  ASSERT_EQ(pages.Count(), 3);
  for (int k : {2, 0, 1}) {
    const BitmapPtr page = pages.Load(k);
    ASSERT_TRUE(page) << k;
    EXPECT_EQ(FreeImage_GetWidth(page.get()), 10u * (k + 1));
    EXPECT_EQ(FreeImage_GetHeight(page.get()), 10u * (k + 1) + 1);
  }
  EXPECT_FALSE(pages.Load(3));
  EXPECT_FALSE(pages.Load(-1));
  const std::string bytes = tessa::test::ReadFile(three);
  EXPECT_LT(TiffPages(WriteFile(dir.file("cut.tif"), bytes.substr(0, bytes.size() / 2))).Count(), 3);
  EXPECT_EQ(TiffPages(WriteFile(dir.file("empty.tif"), "")).Count(), 0);
  EXPECT_EQ(TiffPages(MakeImage(dir.file("a.png"), FIF_PNG, 8, 8)).Count(), 0);
  EXPECT_EQ(TiffPages(dir.file("missing.tif")).Count(), 0);
}

}  // namespace
}  // namespace quirepane::test
