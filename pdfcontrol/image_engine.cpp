#include "pdfcontrol/image_engine.h"

#include "pdfcontrol/tiff_messages.h"

#include <FreeImage.h>

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>

#include "pdfcontrol/alpha_composite.h"
#include "pdfcontrol/bmp_header.h"
#include "pdfcontrol/png_stream.h"
#include "pdfcontrol/rle_bmp.h"
#include "pdfcontrol/stored_resolution.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "pdfcontrol/tiff_transparency.h"
#include "platform/text_file.h"

namespace quirepane {

namespace {

// FreeImage speaks only when a loader meets something wrong; what it says
// of a file's metadata leaves its image whole.
void ReportFreeImageMessage(FREE_IMAGE_FORMAT /*fif*/, const char* message) {
  const std::string text = message ? message : "";
  if (!IsMetadataNote(text)) DecoderErrorCapture::Report(text);
}

}  // namespace

void EnsureFreeImage() {
#if !TESSA_FREEIMAGE_ON_DEMAND  // else done as the library is loaded (freeimage_handles.cpp)
  static std::once_flag once;
  std::call_once(once, [] {
    FreeImage_Initialise(FALSE);
    QuietenTiffTagNotes();
  });
#endif
}

void HearFreeImageMessages() {
  static std::once_flag once;
  std::call_once(once, [] { FreeImage_SetOutputMessage(ReportFreeImageMessage); });
}

long FormatCodeFromFreeImage(int fif) {
  if (fif == FIF_GIF) return kFormatGif;
  if (fif < 0) return kFormatUnknown;
  return fif;
}

int FreeImageFromFormatCode(long code) {
  if (code == kFormatGif) return FIF_GIF;
  if (code < 0 || code == FIF_GIF || code > FIF_JXR) return FIF_UNKNOWN;
  return static_cast<int>(code);
}

namespace {

bool IsPnm(int fif) {
  return fif == FIF_PBM || fif == FIF_PBMRAW || fif == FIF_PGM || fif == FIF_PGMRAW || fif == FIF_PPM || fif == FIF_PPMRAW;
}

// FreeImage gives one answer for every PNM file; the magic tells them apart.
int PnmByMagic(const std::string& head, int fallback) {
  if (head.size() < 2 || head[0] != 'P') return fallback;
  switch (head[1]) {
    case '1': return FIF_PBM;
    case '2': return FIF_PGM;
    case '3': return FIF_PPM;
    case '4': return FIF_PBMRAW;
    case '5': return FIF_PGMRAW;
    case '6': return FIF_PPMRAW;
    default: return fallback;
  }
}

// Formats whose own header carries a resolution that FreeImage reads
// faithfully; for the rest of those not read by ReadStoredResolution the
// file holds none.
bool FreeImageKnowsResolution(int fif) { return fif == FIF_PCX || fif == FIF_PSD; }

// False when every pixel of a 32-bit bitmap has alpha 0: many writers of BMP
// and Targa files leave the fourth byte unused and zero, and such an image
// is meant to be seen, not to vanish.
bool AlphaInUse(FIBITMAP* dib) {
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      if (line[x * 4 + FI_RGBA_ALPHA] != 0) return true;
    }
  }
  return false;
}

// FreeImage refuses bitmaps with the newer, longer information headers that
// many drawing programs write; it reads them once the header is the classic one.
BitmapPtr LoadLongHeaderBmp(const std::string& bytes, int flags) {
  std::optional<std::string> classic = WithClassicBmpHeader(bytes);
  if (!classic) return nullptr;
  MemoryPtr memory(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(classic->data()), static_cast<DWORD>(classic->size())));
  if (!memory) return nullptr;
  return BitmapPtr(FreeImage_LoadFromMemory(FIF_BMP, memory.get(), flags));
}

// A bitmap FreeImage cannot read as it stands: run-length coded, or with a
// longer information header. Null for any other file.
BitmapPtr LoadBmpOurselves(const std::string& path, int flags, std::string& damage) {
  const std::optional<std::string> bytes = tessa::ReadFileBytes(path);
  if (!bytes) return nullptr;
  if (IsRunLengthBmp(*bytes)) return DecodeRunLengthBmp(*bytes, flags & FIF_LOAD_NOPIXELS, &damage);
  return LoadLongHeaderBmp(*bytes, flags);
}

}  // namespace

BitmapPtr LoadCheckedBitmap(const std::string& path, int fif, int flags, std::string& damage) {
  damage.clear();
  EnsureFreeImage();
  // A run-length coded bitmap is decoded here, whatever FreeImage makes of it.
  if (fif == FIF_BMP && IsRunLengthBmp(tessa::ReadFileHead(path, 54))) return LoadBmpOurselves(path, flags, damage);
  {
    const DecoderErrorCapture capture;
    BitmapPtr dib(FreeImage_Load(static_cast<FREE_IMAGE_FORMAT>(fif), path.c_str(), flags));
    const bool pixels = !(flags & FIF_LOAD_NOPIXELS);
    if (capture.Failed() && pixels && (dib || fif != FIF_BMP)) {
      damage = capture.Reason();
      return nullptr;
    }
    if (dib || fif != FIF_BMP) return dib;
  }
  return LoadBmpOurselves(path, flags, damage);
}

BitmapPtr LoadCheckedPage(FIMULTIBITMAP* multi, int index, std::string& damage) {
  const DecoderErrorCapture capture;
  const LockedPage page(multi, index);
  damage = capture.Reason();
  return page.get() && damage.empty() ? BitmapPtr(FreeImage_Clone(page.get())) : nullptr;
}

ImageEngine::ImageEngine() { EnsureFreeImage(); }

long ImageEngine::DetectFormat(const std::string& path) const {
  const std::string head = tessa::ReadFileHead(path, 8);
  if (head.rfind("%PDF", 0) == 0) return kFormatPdf;
  // FreeImage would tell a TIFF only after trying most of its formats,
  // each reading the file's start or end again.
  if (IsTiffHead(head)) return kFormatTiff;
  // Nor a PNG, whose signature is the first thing FreeImage matches: the
  // common PNG road then needs no FreeImage at all.
  if (head == kPngSignature) return kFormatPng;
  int fif = FreeImage_GetFileType(path.c_str(), 0);
  if (IsPnm(fif)) fif = PnmByMagic(head, fif);
  if (fif == FIF_UNKNOWN && !head.empty()) fif = FreeImage_GetFIFFromFilename(path.c_str());
  return FormatCodeFromFreeImage(fif);
}

LoadedImage ImageEngine::Load(const std::string& path, long format, int flags) const {
  LoadedImage image;
  const int fif = FreeImageFromFormatCode(format);
  if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(static_cast<FREE_IMAGE_FORMAT>(fif))) return image;
  if ((flags & kHeaderOnly) && !FreeImage_FIFSupportsNoPixels(static_cast<FREE_IMAGE_FORMAT>(fif))) flags &= ~kHeaderOnly;
  // An icon keeps its transparency in a mask; made into alpha, it falls on
  // white like the transparency of any other format.
  if (fif == FIF_ICO && !(flags & kHeaderOnly)) flags |= ICO_MAKEALPHA;
  image.dib_ = LoadCheckedBitmap(path, fif, flags, image.damage_);
  if (!image.dib_) return image;
  if (fif == FIF_TIFF) DropTransparencyTheTiffLacks(image.dib_.get(), path, 0);
  TakeResolution(image, format, ReadStoredResolution(path, format));
  return image;
}

LoadedImage ImageEngine::LoadBytes(std::string_view bytes, long format) const {
  LoadedImage image;
  const int fif = FreeImageFromFormatCode(format);
  if (fif == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(static_cast<FREE_IMAGE_FORMAT>(fif))) return image;
  const MemoryPtr memory(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(bytes.data())),
                                              static_cast<DWORD>(bytes.size())));
  if (!memory) return image;
  const DecoderErrorCapture capture;
  image.dib_.reset(FreeImage_LoadFromMemory(static_cast<FREE_IMAGE_FORMAT>(fif), memory.get(), 0));
  if (capture.Failed()) {
    image.damage_ = capture.Reason();
    image.dib_.reset();
  }
  if (!image.dib_) return image;
  TakeResolution(image, format, ReadStoredResolutionOfBytes(bytes, format));
  return image;
}

void ImageEngine::TakeResolution(LoadedImage& image, long format, const std::optional<StoredResolution>& stored) const {
  image.format_ = format;
  if (stored) {
    image.dpmX_ = stored->x;
    image.dpmY_ = stored->y;
  } else if (FreeImageKnowsResolution(FreeImageFromFormatCode(format))) {
    image.dpmX_ = static_cast<long>(FreeImage_GetDotsPerMeterX(image.dib_.get()));
    image.dpmY_ = static_cast<long>(FreeImage_GetDotsPerMeterY(image.dib_.get()));
  }
}

long ImageEngine::Width(const LoadedImage& image) const { return image.ok() ? static_cast<long>(FreeImage_GetWidth(image.dib())) : 0; }
long ImageEngine::Height(const LoadedImage& image) const { return image.ok() ? static_cast<long>(FreeImage_GetHeight(image.dib())) : 0; }

bool ImageEngine::SaveAsBmp(const LoadedImage& image, const std::string& path, long format, int flags, bool overwrite) const {
  (void)flags;
  if (!image.ok() || format != kFormatBmp || !FreeImage_HasPixels(image.dib())) return false;
  std::error_code ec;
  if (!overwrite && std::filesystem::exists(path, ec)) return false;
  return WriteBitmapFile(image.dib(), image.dpmX_, image.dpmY_, path);
}

BitmapPtr StandardBitmap(FIBITMAP* dib) {
  if (!dib) return nullptr;
  const FREE_IMAGE_TYPE type = FreeImage_GetImageType(dib);
  if (type == FIT_BITMAP) {
    const unsigned bpp = FreeImage_GetBPP(dib);
    if (FreeImage_IsTransparent(dib) && (bpp == 32 || bpp <= 8)) {
      // A palette image whose transparent entries are all unused stays as it is.
      bool anyTransparent = bpp == 32 && AlphaInUse(dib);
      if (bpp <= 8) {
        const BYTE* table = FreeImage_GetTransparencyTable(dib);
        const unsigned n = FreeImage_GetTransparencyCount(dib);
        for (unsigned i = 0; i < n && !anyTransparent; ++i) anyTransparent = table[i] != 255;
      }
      if (anyTransparent) return CompositeOnWhite(dib);
    }
    if (bpp == 1 || bpp == 4 || bpp == 8 || bpp == 24) return BitmapPtr(FreeImage_Clone(dib));
    return BitmapPtr(FreeImage_ConvertTo24Bits(dib));
  }
  if (type == FIT_RGBA16 || type == FIT_RGBAF) {
    BitmapPtr eight(type == FIT_RGBA16 ? FreeImage_ConvertTo32Bits(dib) : FreeImage_ToneMapping(dib, FITMO_DRAGO03));
    if (!eight) return nullptr;
    return FreeImage_GetBPP(eight.get()) == 32 ? CompositeOnWhite(eight.get()) : std::move(eight);
  }
  if (type == FIT_RGB16) return BitmapPtr(FreeImage_ConvertTo24Bits(dib));
  if (type == FIT_RGBF) return BitmapPtr(FreeImage_ToneMapping(dib, FITMO_DRAGO03));
  if (type == FIT_UINT16) {
    if (BitmapPtr grey{FreeImage_ConvertTo8Bits(dib)}) return grey;
  }
  return BitmapPtr(FreeImage_ConvertToStandardType(dib, TRUE));
}

bool WriteBitmapFile(FIBITMAP* dib, long dpmX, long dpmY, const std::string& path) {
  EnsureFreeImage();
  BitmapPtr standard = StandardBitmap(dib);
  if (!standard) return false;
  FreeImage_SetDotsPerMeterX(standard.get(), static_cast<unsigned>(dpmX > 0 ? dpmX : 0));
  FreeImage_SetDotsPerMeterY(standard.get(), static_cast<unsigned>(dpmY > 0 ? dpmY : 0));
  if (FreeImage_Save(FIF_BMP, standard.get(), path.c_str(), BMP_DEFAULT)) return true;
  std::remove(path.c_str());
  return false;
}

}  // namespace quirepane
