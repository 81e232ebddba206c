#include "pdfcontrol/tiff_transparency.h"

#include <FreeImage.h>
#include <tiffio.h>

#include "pdfcontrol/tiff_page_reader.h"

namespace quirepane {

void DropTransparencyTheTiffLacks(FIBITMAP* dib, const std::string& path, int page) {
  if (!dib || FreeImage_GetBPP(dib) > 8 || !FreeImage_IsTransparent(dib)) return;
  TiffPageReader reader(path);
  tiff* tif = reader.Seek(page);
  if (!tif) return;
  uint16_t samples = 1, extras = 0;
  uint16_t* kinds = nullptr;
  TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
  if (TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &extras, &kinds) != 1) extras = 0;
  DropTransparencyTheTiffLacks(dib, samples, extras);
}

void DropTransparencyTheTiffLacks(FIBITMAP* dib, unsigned samples, unsigned extras) {
  if (!dib || FreeImage_GetBPP(dib) > 8 || !FreeImage_IsTransparent(dib) || samples > 1 || extras > 0) return;
  FreeImage_SetTransparencyTable(dib, nullptr, 0);
  FreeImage_SetTransparent(dib, FALSE);
}

}  // namespace quirepane
