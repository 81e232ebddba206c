#include "pdfcontrol/bitmap_convert.h"

#include <FreeImage.h>

#include <exception>

#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/stored_resolution.h"

namespace quirepane {

bool clsConvertToBitmap::ConvertToBitmap(const std::string& input, const std::string& output, long /*fileType*/) {
  try {
    ImageEngine engine;
    const long format = engine.DetectFormat(input);
    LoadedImage image = engine.Load(input, format, 0);
    if (!image.ok()) return false;
    const bool saved = engine.SaveAsBmp(image, output, kFormatBmp, 0, true);
    engine.Unload(image);
    return saved;
  } catch (const std::exception&) {
    return false;
  }
}

namespace {

// An open multi-page TIFF file, closed when the object goes.
class MultiBitmap {
 public:
  explicit MultiBitmap(const std::string& file) {
    EnsureFreeImage();
    handle_ = FreeImage_OpenMultiBitmap(FIF_TIFF, file.c_str(), FALSE, TRUE, FALSE, 0);
  }
  ~MultiBitmap() {
    if (handle_) FreeImage_CloseMultiBitmap(handle_, 0);
  }
  MultiBitmap(const MultiBitmap&) = delete;
  MultiBitmap& operator=(const MultiBitmap&) = delete;
  FIMULTIBITMAP* get() const { return handle_; }

 private:
  FIMULTIBITMAP* handle_ = nullptr;
};

}  // namespace

long clsMultipage::GetPageCount(const std::string& file) {
  MultiBitmap multi(file);
  if (!multi.get()) return 0;
  return FreeImage_GetPageCount(multi.get());
}

bool clsMultipage::ConvertTIFFPageToBitmap(const std::string& file, const std::string& output, long page) {
  MultiBitmap multi(file);
  if (!multi.get()) return false;
  if (page < 0 || page > FreeImage_GetPageCount(multi.get()) - 1) return false;
  FIBITMAP* locked = FreeImage_LockPage(multi.get(), static_cast<int>(page));
  if (!locked) return false;
  BitmapPtr clone(FreeImage_Clone(locked));
  FreeImage_UnlockPage(multi.get(), locked, FALSE);
  if (!clone) return false;
  long dpmX = 0, dpmY = 0;
  if (auto stored = ReadStoredResolution(file, kFormatTiff, static_cast<int>(page))) {
    dpmX = stored->x;
    dpmY = stored->y;
  }
  return WriteBitmapFile(clone.get(), dpmX, dpmY, output);
}

}  // namespace quirepane
