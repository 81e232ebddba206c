#include "pdfcontrol/bitmap_convert.h"

#include <FreeImage.h>

#include <exception>

#include "pdfcontrol/alpha_composite.h"
#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/stored_resolution.h"
#include "pdfcontrol/tiff_transparency.h"

namespace quirepane {

std::string SixteenBitRows(FIBITMAP* dib, int& components) {
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
  if (type == FIT_RGBA16) return SixteenBitOnWhite(dib, components);
  components = type == FIT_UINT16 ? 1 : type == FIT_RGB16 ? 3 : 0;
  if (components == 0) return "";
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  std::string rows;
  rows.reserve(static_cast<size_t>(width) * height * components * 2);
  for (unsigned y = height; y-- > 0;) {
    const auto* line = reinterpret_cast<const uint16_t*>(FreeImage_GetScanLine(dib, static_cast<int>(y)));
    for (unsigned i = 0; i < width * static_cast<unsigned>(components); ++i) {
      rows += static_cast<char>(line[i] >> 8);
      rows += static_cast<char>(line[i] & 0xFF);
    }
  }
  return rows;
}

bool clsConvertToBitmap::ConvertToBitmap(const std::string& input, const std::string& output, long /*fileType*/) {
  damage_.clear();
  try {
    ImageEngine engine;
    const long format = engine.DetectFormat(input);
    LoadedImage image = engine.Load(input, format, 0);
    damage_ = image.damage();
    if (!image.ok()) return false;
    const bool saved = engine.SaveAsBmp(image, output, kFormatBmp, 0, true);
    engine.Unload(image);
    return saved;
  } catch (const std::exception&) {
    return false;
  }
}

clsMultipage::~clsMultipage() { Close(); }

void* clsMultipage::Open(const std::string& file) {
  if (handle_ && file == openFile_) return handle_;
  Close();
  EnsureFreeImage();
  handle_ = FreeImage_OpenMultiBitmap(FIF_TIFF, file.c_str(), FALSE, TRUE, FALSE, 0);
  if (handle_) openFile_ = file;
  return handle_;
}

void clsMultipage::Close() {
  if (handle_) FreeImage_CloseMultiBitmap(static_cast<FIMULTIBITMAP*>(handle_), 0);
  handle_ = nullptr;
  openFile_.clear();
}

long clsMultipage::GetPageCount(const std::string& file) {
  auto* multi = static_cast<FIMULTIBITMAP*>(Open(file));
  if (!multi) return 0;
  return FreeImage_GetPageCount(multi);
}

bool clsMultipage::ConvertTIFFPageToBitmap(const std::string& file, const std::string& output, long page) {
  auto* multi = static_cast<FIMULTIBITMAP*>(Open(file));
  if (!multi) return false;
  if (page < 0 || page > FreeImage_GetPageCount(multi) - 1) return false;
  std::string damage;
  BitmapPtr clone = LoadCheckedPage(multi, static_cast<int>(page), damage);
  if (!clone) return false;
  DropTransparencyTheTiffLacks(clone.get(), file, static_cast<int>(page));
  long dpmX = 0, dpmY = 0;
  if (auto stored = ReadStoredResolution(file, kFormatTiff, static_cast<int>(page))) {
    dpmX = stored->x;
    dpmY = stored->y;
  }
  return WriteBitmapFile(clone.get(), dpmX, dpmY, output);
}

}  // namespace quirepane
