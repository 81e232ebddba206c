#include "image_factory.h"

#include <filesystem>
#include <memory>
#include <sstream>

#include <zlib.h>

#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::RunCommand;
using tessa::test::ShellQuote;

Dib Draw(int width, int height, Pixels kind) {
  Dib dib;
  switch (kind) {
    case Pixels::Rgb16PerChannel: {
      dib.reset(FreeImage_AllocateT(FIT_RGB16, width, height));
      for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(dib.get(), y));
        for (int x = 0; x < width; ++x) line[x] = FIRGB16{WORD(x * 257), WORD(y * 257), 40000};
      }
      return dib;
    }
    case Pixels::Grey16: {
      dib.reset(FreeImage_AllocateT(FIT_UINT16, width, height));
      for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<WORD*>(FreeImage_GetScanLine(dib.get(), y));
        for (int x = 0; x < width; ++x) line[x] = WORD(x * 1000 + y);
      }
      return dib;
    }
    case Pixels::Rgb24:
    case Pixels::Rgba32: {
      const int bpp = kind == Pixels::Rgb24 ? 24 : 32;
      dib.reset(FreeImage_Allocate(width, height, bpp));
      for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib.get(), y);
        for (int x = 0; x < width; ++x) {
          BYTE* px = line + x * (bpp / 8);
          px[FI_RGBA_RED] = BYTE(x * 7);
          px[FI_RGBA_GREEN] = BYTE(y * 5);
          px[FI_RGBA_BLUE] = BYTE((x + y) * 3);
          if (bpp == 32) px[FI_RGBA_ALPHA] = BYTE(x < width / 2 ? 0 : 255);
        }
      }
      return dib;
    }
    case Pixels::Grey8:
    case Pixels::Palette8: {
      dib.reset(FreeImage_Allocate(width, height, 8));
      RGBQUAD* pal = FreeImage_GetPalette(dib.get());
      for (int i = 0; i < 256; ++i) {
        if (kind == Pixels::Grey8) pal[i] = RGBQUAD{BYTE(i), BYTE(i), BYTE(i), 0};
        else pal[i] = RGBQUAD{BYTE(i * 3), BYTE(255 - i), BYTE(i * 7), 0};
      }
      for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib.get(), y);
        for (int x = 0; x < width; ++x) line[x] = BYTE(x + y);
      }
      return dib;
    }
    case Pixels::Bilevel: {
      dib.reset(FreeImage_Allocate(width, height, 1));
      RGBQUAD* pal = FreeImage_GetPalette(dib.get());
      pal[0] = RGBQUAD{0, 0, 0, 0};
      pal[1] = RGBQUAD{255, 255, 255, 0};
      for (int y = 0; y < height; ++y) {
        BYTE* line = FreeImage_GetScanLine(dib.get(), y);
        for (int x = 0; x < (width + 7) / 8; ++x) line[x] = BYTE(((x + y) % 2) ? 0xF0 : 0x0F);
      }
      return dib;
    }
  }
  return dib;
}

}  // namespace

std::string MakeImage(const std::string& path, FREE_IMAGE_FORMAT fif, int width, int height, Pixels kind,
                      unsigned dpm, int flags) {
  Dib dib = Draw(width, height, kind);
  FreeImage_SetDotsPerMeterX(dib.get(), dpm);
  FreeImage_SetDotsPerMeterY(dib.get(), dpm);
  if (!FreeImage_Save(fif, dib.get(), path.c_str(), flags)) throw std::runtime_error("cannot write test image " + path);
  return path;
}

std::string MakeMultipageTiff(const std::string& path, const std::vector<std::pair<int, int>>& sizes, int flags,
                              Pixels kind) {
  std::filesystem::remove(path);
  FIMULTIBITMAP* multi = FreeImage_OpenMultiBitmap(FIF_TIFF, path.c_str(), TRUE, FALSE, FALSE, 0);
  if (!multi) throw std::runtime_error("cannot create " + path);
  for (auto [w, h] : sizes) {
    Dib page = Draw(w, h, kind);
    FreeImage_SetDotsPerMeterX(page.get(), 0);
    FreeImage_SetDotsPerMeterY(page.get(), 0);
    FreeImage_AppendPage(multi, page.get());
  }
  FreeImage_CloseMultiBitmap(multi, flags);
  return path;
}

std::string PngFile(uint32_t width, uint32_t height, int bits, int colorType, const std::string& rows) {
  auto be32 = [](uint32_t v) { return std::string{char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; };
  auto chunk = [&be32](const std::string& type, const std::string& body) {
    const std::string typed = type + body;
    return be32(uint32_t(body.size())) + typed +
           be32(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
  };
  uLongf size = compressBound(uLong(rows.size()));
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()));
  packed.resize(size);
  const std::string header = be32(width) + be32(height) + char(bits) + char(colorType) + std::string(3, '\0');
  return std::string("\x89PNG\r\n\x1a\n", 8) + chunk("IHDR", header) + chunk("IDAT", packed) + chunk("IEND", "");
}

std::vector<std::string> LeftoverWorkFiles(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("PCR", 0) == 0) names.push_back(name);
  }
  return names;
}

}  // namespace quirepane::test
