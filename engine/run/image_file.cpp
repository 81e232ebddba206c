#include "engine/run/image_file.h"

#include <FreeImage.h>
#include <fcntl.h>
#include <unistd.h>

#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/image_engine.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "pdfcontrol/tiff_pages.h"
#include "platform/text_file.h"

namespace tessa {

using quirepane::BitmapPtr;
using quirepane::MemoryPtr;
using quirepane::MultiBitmapPtr;

namespace {

bool IsMultiPageFormat(FREE_IMAGE_FORMAT fif) { return fif == FIF_TIFF || fif == FIF_GIF || fif == FIF_ICO; }

FREE_IMAGE_FORMAT DetectFormat(const std::string& sPath) {
  quirepane::EnsureFreeImage();
  if (sPath.empty()) return FIF_UNKNOWN;
  if (quirepane::bIsTiffFile(sPath)) return FIF_TIFF;  // without FreeImage's trying every format
  FREE_IMAGE_FORMAT fif = FreeImage_GetFileType(sPath.c_str(), 0);
  if (fif == FIF_UNKNOWN) fif = FreeImage_GetFIFFromFilename(sPath.c_str());
  if (fif != FIF_UNKNOWN && !FreeImage_FIFSupportsReading(fif)) fif = FIF_UNKNOWN;
  return fif;
}

// Writes dib into buffer as an uncompressed TIFF. The frame leaves out the
// EXIF tags read from the source: the TIFF writer does not know them all,
// and a frame needs none.
bool EncodeFrame(BitmapPtr dib, std::vector<uint8_t>& buffer) {
  if (!dib) return false;
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

// Writes bytes as the whole file at path, into the file itself: a frame
// file is reserved, and noted for removal should the run be killed, under
// its inode before it is written, so it must keep that inode.
bool WriteFrameFile(const std::string& path, std::string_view bytes) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  const bool written = WriteAllBytes(fd, bytes);
  return ::close(fd) == 0 && written;
}

}  // namespace

void ImageFile::SetHoldSource(bool hold) {
  hold_ = hold;
  if (!hold) CloseHeld();
}

void ImageFile::CloseHeld() {
  held_.reset();
  heldTiff_.reset();
  heldFormat_ = -1;
  heldPath_.clear();
}

int32_t ImageFile::FrameCount(const std::string& sPath) {
  const FREE_IMAGE_FORMAT fif = DetectFormat(sPath);
  if (fif == FIF_UNKNOWN) return 0;
  if (!IsMultiPageFormat(fif)) return 1;
  if (fif == FIF_TIFF && quirepane::bIsTiffFile(sPath)) return quirepane::TiffPages(sPath).Count();
  const MultiBitmapPtr mb(FreeImage_OpenMultiBitmap(fif, sPath.c_str(), FALSE, TRUE, TRUE));
  if (!mb) return 0;
  const int count = FreeImage_GetPageCount(mb.get());
  return count < 0 ? 0 : count;
}

bool ImageFile::LoadFrame(const std::string& sPath, int32_t lIndex, std::vector<uint8_t>& abFrame) {
  abFrame.clear();
  refusal_.clear();
  if (lIndex < 0) return false;
  // The file held open from the last frame is not detected again.
  const FREE_IMAGE_FORMAT fif = sPath == heldPath_ ? static_cast<FREE_IMAGE_FORMAT>(heldFormat_) : DetectFormat(sPath);
  if (fif == FIF_UNKNOWN) return false;
  // A TIFF's pages are checked one by one as they are read; any other file
  // is checked whole by its content, whatever its name or the task's type.
  const bool bMappedTiff = fif == FIF_TIFF && quirepane::bIsTiffFile(sPath);
  if (!bMappedTiff && sPath != heldPath_) refusal_ = quirepane::DecodeRefusal(sPath, fif);
  if (!refusal_.empty()) return false;

  if (!IsMultiPageFormat(fif)) {
    if (lIndex != 0) return false;
    const bool ok = EncodeFrame(quirepane::LoadCheckedBitmap(sPath, fif, 0, refusal_), abFrame);
    if (!ok) abFrame.clear();
    return ok;
  }

  if (heldPath_ != sPath || heldFormat_ != fif) {
    CloseHeld();
    // A TIFF is mapped once and its pages read from the mapping; other
    // multi-page files (and BigTIFFs) go through FreeImage's own access.
    if (bMappedTiff) heldTiff_ = std::make_unique<quirepane::TiffPages>(sPath);
    else held_.reset(FreeImage_OpenMultiBitmap(fif, sPath.c_str(), FALSE, TRUE, TRUE));
    if (!held_ && !heldTiff_) return false;
    heldPath_ = sPath;
    heldFormat_ = fif;
    hold_ = true;
  }
  bool ok = false;
  if (heldTiff_) {
    BitmapPtr dib = heldTiff_->Load(lIndex, &refusal_);
    // A frame states its page's resolution, or none when the page states none.
    const quirepane::StoredResolution stored = heldTiff_->Resolution(lIndex);
    if (dib) FreeImage_SetDotsPerMeterX(dib.get(), static_cast<unsigned>(stored.x));
    if (dib) FreeImage_SetDotsPerMeterY(dib.get(), static_cast<unsigned>(stored.y));
    ok = EncodeFrame(std::move(dib), abFrame);
  } else if (lIndex < FreeImage_GetPageCount(held_.get())) {
    ok = EncodeFrame(quirepane::LoadCheckedPage(held_.get(), lIndex, refusal_), abFrame);
  }
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
  // The frame is made in memory and written at once: the TIFF writer reads
  // back what it has written, which in a file would be reading it again.
  auto save = [&dib, &sPath](int flags) {
    const MemoryPtr out(FreeImage_OpenMemory());
    BYTE* data = nullptr;
    DWORD size = 0;
    return out && FreeImage_SaveToMemory(FIF_TIFF, dib.get(), out.get(), flags) &&
           FreeImage_AcquireMemory(out.get(), &data, &size) &&
           WriteFrameFile(sPath, std::string_view(reinterpret_cast<const char*>(data), size));
  };
  const int flags = TiffFlags(compression_, FreeImage_GetBPP(dib.get()));
  return save(flags) || (flags != TIFF_NONE && save(TIFF_NONE));
}

}  // namespace tessa
