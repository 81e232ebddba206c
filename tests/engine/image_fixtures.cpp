#include "image_fixtures.h"

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "support/temp_dir.h"

namespace tessa::test {

namespace {

FIBITMAP* MakeBitmap(int width, int height, int bpp) {
  FIBITMAP* dib = FreeImage_Allocate(width, height, bpp);
  if (!dib) throw std::runtime_error("cannot allocate test image");
  if (bpp <= 8) {
    RGBQUAD* pal = FreeImage_GetPalette(dib);
    const int n = 1 << bpp;
    for (int i = 0; i < n; ++i) {
      const BYTE v = static_cast<BYTE>(i * 255 / (n - 1));
      pal[i].rgbRed = pal[i].rgbGreen = pal[i].rgbBlue = v;
    }
  }
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(dib, y);
    const int bytes = static_cast<int>(FreeImage_GetLine(dib));
    for (int x = 0; x < bytes; ++x) line[x] = static_cast<BYTE>((x * 7 + y * 13) & 0xff);
  }
  return dib;
}

}  // namespace

void WriteImage(const std::string& path, int width, int height, int bpp) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  FREE_IMAGE_FORMAT fif = FreeImage_GetFIFFromFilename(path.c_str());
  FIBITMAP* dib = MakeBitmap(width, height, fif == FIF_GIF && bpp > 8 ? 8 : bpp);
  const bool ok = FreeImage_Save(fif, dib, path.c_str(), 0);
  FreeImage_Unload(dib);
  if (!ok) throw std::runtime_error("cannot write " + path);
}

void WriteTiffPages(const std::string& path, const std::vector<int>& widths, int bpp) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::filesystem::remove(path);
  FIMULTIBITMAP* mb = FreeImage_OpenMultiBitmap(FIF_TIFF, path.c_str(), TRUE, FALSE, FALSE);
  if (!mb) throw std::runtime_error("cannot create " + path);
  for (int w : widths) {
    FIBITMAP* dib = MakeBitmap(w, 12, bpp);
    FreeImage_AppendPage(mb, dib);
    FreeImage_Unload(dib);
  }
  FreeImage_CloseMultiBitmap(mb, 0);
}

std::vector<int> PdfImageWidths(const std::string& pdf) {
  std::vector<int> widths;
  for (const PdfImage& image : PdfImages(pdf)) widths.push_back(image.width);
  return widths;
}

int TiffCompressionTag(const std::string& path) {
  const std::string b = ReadFile(path);
  if (b.size() < 8) return 0;
  const bool le = b[0] == 'I';
  auto u16 = [&](size_t o) -> uint32_t {
    if (o + 2 > b.size()) return 0;
    const auto x = static_cast<uint8_t>(b[o]), y = static_cast<uint8_t>(b[o + 1]);
    return le ? (x | y << 8) : (x << 8 | y);
  };
  auto u32 = [&](size_t o) -> uint32_t { return le ? (u16(o) | u16(o + 2) << 16) : (u16(o) << 16 | u16(o + 2)); };
  const uint32_t ifd = u32(4);
  const uint32_t count = u16(ifd);
  for (uint32_t i = 0; i < count; ++i) {
    const size_t e = ifd + 2 + 12 * i;
    if (u16(e) == 259) return static_cast<int>(u16(e + 8));
  }
  return 0;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace tessa::test
