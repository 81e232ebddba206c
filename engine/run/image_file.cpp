#include "engine/run/image_file.h"

#include <FreeImage.h>

#include "pdfcontrol/tiff_transparency.h"

namespace tessa {

using quirepane::BitmapPtr;
using quirepane::LockedPage;
using quirepane::MemoryPtr;
using quirepane::MultiBitmapPtr;

namespace {

bool IsMultiPageFormat(FREE_IMAGE_FORMAT fif) { return fif == FIF_TIFF || fif == FIF_GIF || fif == FIF_ICO; }

FREE_IMAGE_FORMAT DetectFormat(const std::string& sPath) {
  quirepane::EnsureFreeImage();
  if (sPath.empty()) return FIF_UNKNOWN;
  FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(sPath.c_str(), 0);
  if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(sPath.c_str());
  if (fif != FIF_UNKNOWN && !FreeImage_FIFSupportsReading(fif)) fif = FIF_UNKNOWN;
  return fif;
}

// Writes a copy of source (page `page` of the file at path) into buffer as
// an uncompressed TIFF. The copy leaves out the EXIF tags read from the
// source: the TIFF writer does not know them all, and a frame needs none.
bool EncodeFrame(FIBITMAP* source, FREE_IMAGE_FORMAT fif, const std::string& path, int page,
                 std::vector<uint8_t>& buffer) {
  const BitmapPtr dib(FreeImage_Clone(source));
  if (!dib) return false;
  if (fif == FIF_TIFF) quirepane::DropTransparencyTheTiffLacks(dib.get(), path, page);
  for (FREE_IMAGE_MDMODEL model : {FIMD_EXIF_MAIN, FIMD_EXIF_EXIF, FIMD_EXIF_GPS, FIMD_EXIF_MAKERNOTE,
                                   FIMD_EXIF_INTEROP, FIMD_EXIF_RAW}) {
    FreeImage_SetMetadata(model, dib.get(), nullptr, nullptr);
  }
  const MemoryPtr mem(FreeImage_OpenMemory());
  if (!mem || !FreeImage_SaveToMemory(FIF_TIFF, dib.get(), mem.get(), TIFF_NONE)) return false;
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(mem.get(), &data, &size) || !data || size == 0) return false;
  buffer.assign(data, data + size);
  return true;
}

int TiffFlags(int32_t index, unsigned bpp) {
  switch (index) {
    case ImageFile::kLzw: return TIFF_LZW;
    case ImageFile::kPackBits: return TIFF_PACKBITS;
    case ImageFile::kCcittG3: return bpp == 1 ? TIFF_CCITTFAX3 : TIFF_LZW;
    case ImageFile::kCcittG4: return bpp == 1 ? TIFF_CCITTFAX4 : TIFF_LZW;
    default: return TIFF_NONE;
  }
}

}  // namespace

void ImageFile::SetHoldSource(bool hold) {
  hold_ = hold;
  if (!hold) CloseHeld();
}

void ImageFile::CloseHeld() {
  held_.reset();
  heldFormat_ = -1;
  heldPath_.clear();
}

int32_t ImageFile::FrameCount(const std::string& sPath) {
  const FREE_IMAGE_FORMAT fif = DetectFormat(sPath);
  if (fif == FIF_UNKNOWN) return 0;
  if (!IsMultiPageFormat(fif)) return 1;
  const MultiBitmapPtr mb(FreeImage_OpenMultiBitmap(fif, sPath.c_str(), FALSE, TRUE, TRUE));
  if (!mb) return 0;
  const int count = FreeImage_GetPageCount(mb.get());
  return count < 0 ? 0 : count;
}

bool ImageFile::LoadFrame(const std::string& sPath, int32_t lIndex, std::vector<uint8_t>& abFrame) {
  abFrame.clear();
  if (lIndex < 0) return false;
  const FREE_IMAGE_FORMAT fif = DetectFormat(sPath);
  if (fif == FIF_UNKNOWN) return false;

  if (!IsMultiPageFormat(fif)) {
    if (lIndex != 0) return false;
    const BitmapPtr dib(FreeImage_Load(fif, sPath.c_str(), 0));
    if (!dib) return false;
    const bool ok = EncodeFrame(dib.get(), fif, sPath, 0, abFrame);
    if (!ok) abFrame.clear();
    return ok;
  }

  if (!held_ || heldPath_ != sPath || heldFormat_ != fif) {
    CloseHeld();
    held_.reset(FreeImage_OpenMultiBitmap(fif, sPath.c_str(), FALSE, TRUE, TRUE));
    if (!held_) return false;
    heldPath_ = sPath;
    heldFormat_ = fif;
    hold_ = true;
  }
  if (lIndex >= FreeImage_GetPageCount(held_.get())) return false;
  const LockedPage page(held_.get(), lIndex);
  if (!page.get()) return false;
  const bool ok = EncodeFrame(page.get(), fif, sPath, lIndex, abFrame);
  if (!ok) abFrame.clear();
  return ok;
}

bool ImageFile::SaveFrame(const std::vector<uint8_t>& abFrame, const std::string& sPath) {
  if (abFrame.empty() || sPath.empty()) return false;
  BitmapPtr dib;
  {
    const MemoryPtr mem(FreeImage_OpenMemory(const_cast<BYTE*>(abFrame.data()), static_cast<DWORD>(abFrame.size())));
    if (!mem) return false;
    dib.reset(FreeImage_LoadFromMemory(FIF_TIFF, mem.get(), 0));
  }
  if (!dib) return false;
  const int flags = TiffFlags(compression_, FreeImage_GetBPP(dib.get()));
  bool ok = FreeImage_Save(FIF_TIFF, dib.get(), sPath.c_str(), flags) != FALSE;
  if (!ok && flags != TIFF_NONE) ok = FreeImage_Save(FIF_TIFF, dib.get(), sPath.c_str(), TIFF_NONE) != FALSE;
  return ok;
}

}  // namespace tessa
