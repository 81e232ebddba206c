#include "pdfcontrol/alpha_composite.h"

#include <FreeImage.h>

#include <cstdint>

namespace quirepane {
namespace {

// round((c * a + 255 * (255 - a)) / 255); the sum is never a half.
inline uint8_t OnWhite8(unsigned c, unsigned a) { return uint8_t((c * a + 255 * (255 - a) + 127) / 255); }

inline uint16_t OnWhite16(uint64_t c, uint64_t a) {
  return uint16_t((c * a + 65535 * (65535 - a) + 32767) / 65535);
}

BitmapPtr PaletteOnWhite(FIBITMAP* dib) {
  BitmapPtr out(FreeImage_Clone(dib));
  if (!out) return nullptr;
  const BYTE* table = FreeImage_GetTransparencyTable(dib);
  const unsigned count = FreeImage_GetTransparencyCount(dib);
  RGBQUAD* palette = FreeImage_GetPalette(out.get());
  for (unsigned i = 0; i < FreeImage_GetColorsUsed(out.get()); ++i) {
    const unsigned a = i < count ? table[i] : 255;
    palette[i].rgbRed = OnWhite8(palette[i].rgbRed, a);
    palette[i].rgbGreen = OnWhite8(palette[i].rgbGreen, a);
    palette[i].rgbBlue = OnWhite8(palette[i].rgbBlue, a);
  }
  FreeImage_SetTransparencyTable(out.get(), nullptr, 0);
  FreeImage_SetTransparent(out.get(), FALSE);
  return out;
}

bool AllGrey8(FIBITMAP* rgba) {
  const unsigned width = FreeImage_GetWidth(rgba), height = FreeImage_GetHeight(rgba);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* px = FreeImage_GetScanLine(rgba, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, px += 4)
      if (px[FI_RGBA_RED] != px[FI_RGBA_GREEN] || px[FI_RGBA_GREEN] != px[FI_RGBA_BLUE]) return false;
  }
  return true;
}

BitmapPtr RgbaOnWhite(FIBITMAP* rgba) {
  const unsigned width = FreeImage_GetWidth(rgba), height = FreeImage_GetHeight(rgba);
  const bool grey = AllGrey8(rgba);
  BitmapPtr out(FreeImage_Allocate(static_cast<int>(width), static_cast<int>(height), grey ? 8 : 24));
  if (!out) return nullptr;
  if (grey) {
    RGBQUAD* palette = FreeImage_GetPalette(out.get());
    for (unsigned i = 0; i < 256; ++i) palette[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
  }
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* px = FreeImage_GetScanLine(rgba, static_cast<int>(y));
    BYTE* to = FreeImage_GetScanLine(out.get(), static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x, px += 4) {
      const unsigned a = px[FI_RGBA_ALPHA];
      if (grey) {
        *to++ = OnWhite8(px[FI_RGBA_RED], a);
        continue;
      }
      to[FI_RGBA_RED] = OnWhite8(px[FI_RGBA_RED], a);
      to[FI_RGBA_GREEN] = OnWhite8(px[FI_RGBA_GREEN], a);
      to[FI_RGBA_BLUE] = OnWhite8(px[FI_RGBA_BLUE], a);
      to += 3;
    }
  }
  FreeImage_SetDotsPerMeterX(out.get(), FreeImage_GetDotsPerMeterX(rgba));
  FreeImage_SetDotsPerMeterY(out.get(), FreeImage_GetDotsPerMeterY(rgba));
  return out;
}

}  // namespace

BitmapPtr CompositeOnWhite(FIBITMAP* dib) {
  if (!dib) return nullptr;
  const unsigned bpp = FreeImage_GetBPP(dib);
  if (FreeImage_GetImageType(dib) == FIT_BITMAP && bpp <= 8 && FreeImage_GetPalette(dib)) return PaletteOnWhite(dib);
  if (FreeImage_GetImageType(dib) == FIT_BITMAP && bpp == 32) return RgbaOnWhite(dib);
  BitmapPtr rgba(FreeImage_ConvertTo32Bits(dib));
  return rgba ? RgbaOnWhite(rgba.get()) : nullptr;
}

std::string SixteenBitOnWhite(FIBITMAP* dib, int& components) {
  components = 0;
  if (FreeImage_GetImageType(dib) != FIT_RGBA16) return "";
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  bool grey = true;
  for (unsigned y = 0; y < height && grey; ++y) {
    const auto* px = reinterpret_cast<const FIRGBA16*>(FreeImage_GetScanLine(dib, static_cast<int>(y)));
    for (unsigned x = 0; x < width && grey; ++x) grey = px[x].red == px[x].green && px[x].green == px[x].blue;
  }
  components = grey ? 1 : 3;
  std::string rows;
  rows.reserve(size_t(width) * height * size_t(components) * 2);
  auto put = [&rows](uint16_t v) {
    rows += static_cast<char>(v >> 8);
    rows += static_cast<char>(v & 0xFF);
  };
  for (unsigned y = height; y-- > 0;) {
    const auto* px = reinterpret_cast<const FIRGBA16*>(FreeImage_GetScanLine(dib, static_cast<int>(y)));
    for (unsigned x = 0; x < width; ++x) {
      put(OnWhite16(px[x].red, px[x].alpha));
      if (grey) continue;
      put(OnWhite16(px[x].green, px[x].alpha));
      put(OnWhite16(px[x].blue, px[x].alpha));
    }
  }
  return rows;
}

}  // namespace quirepane
