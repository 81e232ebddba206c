#include "engine/task/input_type_list.h"

#include "common/text_helpers.h"

namespace tessa {

namespace {

// Of the codes sharing an extension (7/8, 11/12, 14/15) only one row carries
// the key, so a file's extension always names exactly one row.
constexpr InputTypeRow kRows[] = {
    {18, "Tagged Image File Format", " (*.tif)", {"tif", "tiff"}},
    {2, "JPEG", " (*.JPG)", {"jpg", "jpeg"}},
    {0, "Windows Bitmap", " (*.bmp)", {"bmp", ""}},
    {40, "GIF", " (*.gif)", {"gif", ""}},
    {13, "Portable Network Graphics", " (*.png)", {"png", ""}},
    {1, "Windows Icon", " (*.ico)", {"ico", ""}},
    {-1, "AutoDetect", "", {"", ""}},
    {20, "Photoshop Image", " (*.psd)", {"psd", ""}},
    {9, "Kodak Photo CD", " (*.pcd)", {"pcd", ""}},
    {3, "JPEG Network Graphic", " (*.jng)", {"jng", ""}},
    {16, "Sun Rasterfile", " (*.ras)", {"ras", ""}},
    {17, "Targa File", " (*.tga)", {"tga", ""}},
    {5, "Deluxe Paint Format", " (*.lbm)", {"lbm", ""}},
    {6, "Multiple Network Graphics", " (*.mng)", {"mng", ""}},
    {7, "ASCII Portable Bitmap", " (*.pbm)", {"pbm", ""}},
    {8, "Binary Portable Bitmap", " (*.pbm)", {"", ""}},
    {10, "PCX bitmap format", " (*.pcx)", {"pcx", ""}},
    {11, "SCII Graymap", " (*.pgm)", {"", ""}},
    {12, "Binary Graymap", " (*.pgm)", {"pgm", ""}},
    {14, "ASCII Portable Pixelmap", " (*.ppm)", {"ppm", ""}},
    {15, "Binary Portable Pixelmap", " (*.ppm)", {"", ""}},
    {19, "Wireless Bitmap", " (*.wbmp)", {"wbmp", ""}},
    {4, "Commodore 64 Koala format", " (*.koa)", {"koa", ""}},
    {21, "Dr. Halo", " (*.cut)", {"cut", ""}},
};

}  // namespace

std::span<const InputTypeRow> InputTypeRows() { return kRows; }

int32_t FormatTypeIndex(std::string_view extension) {
  if (extension.empty()) return -1;
  for (size_t i = 0; i < std::size(kRows); ++i) {
    for (std::string_view key : kRows[i].keys) {
      if (!key.empty() && EqualsNoCase(key, extension)) return static_cast<int32_t>(i);
    }
  }
  return -1;
}

}  // namespace tessa
