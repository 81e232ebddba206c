#include "engine/task/file_types.h"

#include <algorithm>
#include <array>

#include "common/text_helpers.h"

namespace tessa {

namespace {

#define TESSA_FILTER(desc, ext) desc " (*." ext ")|*." ext "|All files (*.*)|*.*"

constexpr std::array<ImageTypeInfo, 25> kTypes{{
    {-1, "FT_AUTO", "*", "autodetect the input type", ""},
    {0, "FT_BMP", "bmp", "Windows bitmap", TESSA_FILTER("Windows Bitmap", "bmp")},
    {1, "FT_ICO", "ico", "Windows icon", TESSA_FILTER("Windows Icon", "ico")},
    {2, "FT_JPEG", "jpg", "JPEG", TESSA_FILTER("JPEG", "jpg")},
    {3, "FT_JNG", "jng", "JPEG network graphic", TESSA_FILTER("JPEG Network Graphic", "jng")},
    {4, "FT_KOALA", "koa", "Commodore 64 Koala", TESSA_FILTER("Commodore 64 Koala", "koa")},
    {5, "FT_LBM", "lbm", "Deluxe Paint", TESSA_FILTER("Deluxe Paint", "lbm")},
    {6, "FT_MNG", "mng", "multiple network graphics", TESSA_FILTER("Multiple Network Graphics", "mng")},
    {7, "FT_PBM", "pbm", "portable bitmap, ASCII", TESSA_FILTER("ASCII Portable Bitmap", "pbm")},
    {8, "FT_PBM_RAW", "pbm", "portable bitmap, binary", TESSA_FILTER("Binary Portable Bitmap", "pbm")},
    {9, "FT_PCD", "pcd", "Kodak Photo CD", TESSA_FILTER("Kodak Photo CD", "pcd")},
    {10, "FT_PCX", "pcx", "PCX bitmap", TESSA_FILTER("PCX Bitmap", "pcx")},
    {11, "FT_PGM", "pgm", "portable graymap, ASCII", TESSA_FILTER("ASCII Graymap", "pgm")},
    {12, "FT_PGM_RAW", "pgm", "portable graymap, binary", TESSA_FILTER("Binary Graymap", "pgm")},
    {13, "FT_PNG", "png", "portable network graphics", TESSA_FILTER("Portable Network Graphics", "png")},
    {14, "FT_PPM", "ppm", "portable pixelmap, ASCII", TESSA_FILTER("ASCII Portable Pixelmap", "ppm")},
    {15, "FT_PPMRAW", "ppm", "portable pixelmap, binary", TESSA_FILTER("Binary Portable Pixelmap", "ppm")},
    {16, "FT_RAS", "ras", "Sun raster file", TESSA_FILTER("Sun Rasterfile", "ras")},
    {17, "FT_TARGA", "tga", "Targa", TESSA_FILTER("Targa File", "tga")},
    {18, "FT_TIFF", "tif", "TIFF, possibly multi-page", TESSA_FILTER("Tagged Image File Format", "tif")},
    {19, "FT_WBMP", "wbmp", "wireless bitmap", TESSA_FILTER("Wireless Bitmap", "wbmp")},
    {20, "FT_PSD", "psd", "Photoshop image", TESSA_FILTER("Photoshop Image", "psd")},
    {21, "FT_CUT", "cut", "Dr. Halo", TESSA_FILTER("Dr. Halo", "cut")},
    {40, "", "gif", "GIF", TESSA_FILTER("GIF", "gif")},
    {100, "", "PDF", "PDF", ""},
}};

#undef TESSA_FILTER

}  // namespace

std::span<const ImageTypeInfo> ImageTypeTable() { return kTypes; }

const ImageTypeInfo* FindImageType(int32_t code) {
  const auto it = std::find_if(kTypes.begin(), kTypes.end(), [code](const ImageTypeInfo& t) { return t.code == code; });
  return it == kTypes.end() ? nullptr : &*it;
}

std::string GetImageTypeExtension(int32_t code, bool bWithMask) {
  const ImageTypeInfo* type = FindImageType(code);
  std::string ext = type ? std::string(type->extension) : std::string();
  return bWithMask ? "*." + ext : ext;
}

std::string GetFileTypeExtension(int32_t code, bool bWithMask, int32_t lConversionMethod) {
  if (lConversionMethod != kMethodImageConversion) return "";
  return GetImageTypeExtension(code, bWithMask);
}

std::string GetImageTypeDialogFilter(int32_t code) {
  const ImageTypeInfo* type = FindImageType(code);
  return type ? std::string(type->filter) : std::string();
}

bool bFileExtensionFitsType(std::string_view fileExtension, std::string_view typeExtension) {
  const std::string actual = ToLowerAscii(fileExtension);
  const std::string expected = ToLowerAscii(typeExtension);
  if (actual == expected) return true;
  return (actual == "jpeg" && expected == "jpg") || (actual == "tiff" && expected == "tif");
}

}  // namespace tessa
