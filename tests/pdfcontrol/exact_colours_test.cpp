// Transparent images of every kind are laid on white exactly, to the last
// level, with the depth and colours of what they hold.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <cstdint>

#include "convert_fixture.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

// A pixel's samples (red, green, blue, alpha) from its place, as 16-bit
// values; 8-bit images take the high byte. (0, 0) is (73, 85, 79) at alpha 11.
std::array<unsigned, 4> Source(unsigned x, unsigned y) {
  const unsigned r = (x * 29 + y * 7 + 73) & 255, g = (x * 13 + y * 31 + 85) & 255, b = (x * 5 + y * 17 + 79) & 255;
  const unsigned a = (x * 11 + y * 53 + 11) & 255;
  return {r * 257 ^ x, g * 257 ^ y, b * 257, a * 257 ^ (x * y & 255)};
}

unsigned OnWhite(unsigned c, unsigned a, unsigned most) {
  return unsigned((uint64_t(c) * a + uint64_t(most) * (most - a) + most / 2) / most);
}

constexpr unsigned kWidth = 40, kHeight = 24;

// The image of the PDF's only page: its samples decoded, /ColorSpace
// (a name, or /Indexed) and /BitsPerComponent; an indexed image's samples
// are looked up into RGB.
struct PdfSamples {
  std::string samples, space;
  int bits = 0;
};
PdfSamples ImageOf(const std::string& pdf) {
  QPDF document;
  document.processFile(pdf.c_str());
  QPDFObjectHandle image = QPDFPageObjectHelper(document.getAllPages().at(0)).getImages().begin()->second;
  QPDFObjectHandle dict = image.getDict(), space = dict.getKey("/ColorSpace");
  const std::shared_ptr<Buffer> data = image.getStreamData(qpdf_dl_generalized);
  PdfSamples out{std::string(reinterpret_cast<const char*>(data->getBuffer()), data->getSize()), "",
                 int(dict.getKey("/BitsPerComponent").getIntValue())};
  out.space = space.isName() ? space.getName() : space.getArrayItem(0).getName();
  if (space.isArray()) {
    const std::string lookup = space.getArrayItem(3).getStringValue();
    std::string rgb;
    for (unsigned char index : out.samples) rgb += lookup.substr(index * 3u, 3);
    out.samples = rgb;
  }
  return out;
}

class ExactColours : public ConvertFixture {};

// RGBA, grey and alpha, palette with tRNS, 8 and 16 bits, in PNG, BMP and
// TIFF: every sample is round((c*a + M*(M-a)) / M); grey stays grey and 16
// bits stay 16.
TEST_F(ExactColours, TransparencyIsLaidOnWhiteExactly) {
  Dib rgba16(FreeImage_AllocateT(FIT_RGBA16, kWidth, kHeight, 64));
  for (unsigned y = 0; y < kHeight; ++y)
    for (unsigned x = 0; x < kWidth; ++x) {
      const auto s = Source(x, y);
      reinterpret_cast<FIRGBA16*>(FreeImage_GetScanLine(rgba16.get(), int(kHeight - 1 - y)))[x] =
          FIRGBA16{WORD(s[0]), WORD(s[1]), WORD(s[2]), WORD(s[3])};
    }
  Dib rgba8(FreeImage_ConvertTo32Bits(rgba16.get()));  // each sample's high byte
  auto greyAlpha = [](int bits) {
    std::string rows;
    for (unsigned y = 0; y < kHeight; ++y) {
      rows += '\0';
      for (unsigned x = 0; x < kWidth; ++x)
        for (unsigned v : {Source(x, y)[0], Source(x, y)[3]}) {
          if (bits == 16) rows += char(v >> 8);
          rows += char(bits == 16 ? v : v >> 8);
        }
    }
    return PngFile(kWidth, kHeight, bits, 4, rows);
  };
  Dib palette(FreeImage_Allocate(kWidth, kHeight, 8));
  BYTE table[256];
  for (unsigned i = 0; i < 256; ++i) {
    const auto s = Source(i % kWidth, i / kWidth);
    FreeImage_GetPalette(palette.get())[i] = RGBQUAD{BYTE(s[2] >> 8), BYTE(s[1] >> 8), BYTE(s[0] >> 8), 0};
    table[i] = BYTE(s[3] >> 8);
  }
  for (unsigned y = 0; y < kHeight; ++y)
    for (unsigned x = 0; x < kWidth; ++x) FreeImage_GetScanLine(palette.get(), int(kHeight - 1 - y))[x] = BYTE(y * kWidth + x);
  FreeImage_SetTransparencyTable(palette.get(), table, 256);

  const struct {
    const char* name;
    FIBITMAP* dib;  // saved in the format its name gives; none: grey and alpha, written here
    std::string space;
    int bits;
  } cases[] = {
      {"rgba.png", rgba8.get(), "/DeviceRGB", 8},
      {"rgba.bmp", rgba8.get(), "/DeviceRGB", 8},
      {"rgba.tif", rgba8.get(), "/DeviceRGB", 8},
      {"rgba16.png", rgba16.get(), "/DeviceRGB", 16},
      {"grey-alpha.png", nullptr, "/DeviceGray", 8},
      {"grey-alpha16.png", nullptr, "/DeviceGray", 16},
      {"palette-trns.png", palette.get(), "/Indexed", 8},
  };
  for (const auto& c : cases) {
    const std::string source = File(c.name), pdf = source + ".pdf";
    if (c.dib) FreeImage_Save(FreeImage_GetFIFFromFilename(c.name), c.dib, source.c_str(), 0);
    else tessa::test::WriteFile(source, greyAlpha(c.bits));
    ASSERT_EQ(Convert(source, pdf), CR_Success) << c.name;
    EXPECT_TRUE(InspectPdf(pdf).checkPassed) << c.name;
    const PdfSamples got = ImageOf(pdf);
    EXPECT_EQ(got.space, c.space) << c.name;
    EXPECT_EQ(got.bits, c.bits) << c.name;
    // What the image holds, laid on white, in the PDF's layout.
    const bool grey = c.space == "/DeviceGray", deep = c.bits == 16;
    std::string expected;
    for (unsigned y = 0; y < kHeight; ++y)
      for (unsigned x = 0; x < kWidth; ++x) {
        const auto s = c.space == "/Indexed" ? Source((y * kWidth + x) % 256 % kWidth, (y * kWidth + x) % 256 / kWidth)
                                             : Source(x, y);
        for (unsigned channel = 0; channel < (grey ? 1u : 3u); ++channel) {
          const unsigned v = deep ? OnWhite(s[channel], s[3], 65535) : OnWhite(s[channel] >> 8, s[3] >> 8, 255);
          if (deep) expected += char(v >> 8);
          expected += char(v);
        }
      }
    EXPECT_TRUE(got.samples == expected) << c.name;
  }
}

}  // namespace
}  // namespace quirepane::test
