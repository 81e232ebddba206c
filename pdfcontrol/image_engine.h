// The imaging component of the control: format detection, loading, size and
// resolution, and writing an image as a BMP file, over FreeImage. Format
// codes follow the product's image type numbering (BMP 0 ... TIFF 18 ...
// CUT 21, GIF 40, PDF 100, -1 unknown).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "pdfcontrol/freeimage_handles.h"
#include "pdfcontrol/stored_resolution.h"

namespace quirepane {

inline constexpr long kFormatUnknown = -1;
inline constexpr long kFormatBmp = 0;
inline constexpr long kFormatJpeg = 2;
inline constexpr long kFormatPng = 13;
inline constexpr long kFormatTiff = 18;
inline constexpr long kFormatGif = 40;
inline constexpr long kFormatPdf = 100;

// A loaded image (or, after a header-only load, its header): the bitmap,
// its format code and the resolution its file really stores.
class LoadedImage {
 public:
  bool ok() const { return dib_ != nullptr; }
  FIBITMAP* dib() const { return dib_.get(); }
  // Why the pixels were refused when their decoder reported an error; ""
  // for an image that loaded, or one that failed without a word.
  const std::string& damage() const { return damage_; }

 private:
  friend class ImageEngine;
  BitmapPtr dib_;
  long format_ = kFormatUnknown;
  long dpmX_ = 0;
  long dpmY_ = 0;
  std::string damage_;
};

class ImageEngine {
 public:
  // Load flag: read the header only (size and resolution), not the pixels.
  static constexpr int kHeaderOnly = 0x8000;

  ImageEngine();

  // The format code of the file from its content; the file name decides
  // only when the content says nothing. kFormatUnknown when neither does.
  long DetectFormat(const std::string& path) const;

  // Loads the file as format with FreeImage load flags (0, or kHeaderOnly).
  // A failed load gives an image whose ok() is false; so does one whose
  // decoder reported an error (see damage()).
  LoadedImage Load(const std::string& path, long format, int flags) const;
  // The same for a whole file's bytes already in memory (no TIFF, BMP or
  // icon: their loads need the file itself).
  LoadedImage LoadBytes(std::string_view bytes, long format) const;

  // Dots per metre the file stores, 0 when it holds none.
  long HorizontalResolution(const LoadedImage& image) const { return image.dpmX_; }
  long VerticalResolution(const LoadedImage& image) const { return image.dpmY_; }
  // Size in pixels; 0 for an image that did not load.
  long Width(const LoadedImage& image) const;
  long Height(const LoadedImage& image) const;

  // Writes the image as an uncompressed BMP file at path (format must be 0,
  // flags are passed to FreeImage), keeping its stored resolution. False
  // when it cannot be written; no file is left behind then.
  bool SaveAsBmp(const LoadedImage& image, const std::string& path, long format, int flags, bool overwrite) const;

  // Frees the image's memory.
  void Unload(LoadedImage& image) const { image.dib_.reset(); }

 private:
  // Sets the format and the resolution of a loaded image: the one its file
  // stores, else FreeImage's where FreeImage reads it right.
  void TakeResolution(LoadedImage& image, long format, const std::optional<StoredResolution>& stored) const;
};

// Converts a bitmap of any FreeImage type to one a BMP file can hold without
// surprises: 1, 4, 8 or 24 bits per pixel, high-bit-depth and floating point
// images brought to 8 bits per channel, alpha composited onto white. Never
// null for a non-null input unless FreeImage runs out of memory.
BitmapPtr StandardBitmap(FIBITMAP* dib);

// Writes dib (after StandardBitmap) as a BMP file at path with the given
// dots per metre (0 for none). False when it cannot; no file is left then.
bool WriteBitmapFile(FIBITMAP* dib, long dpmX, long dpmY, const std::string& path);

// Loads the file at path as FreeImage format fif with FreeImage load flags:
// through FreeImage, or for a bitmap FreeImage cannot read (run-length
// coded, or with a longer header) here. When its decoder reports an error
// while reading pixels, null, with damage giving the reason to refuse it.
QUIREPANE_API BitmapPtr LoadCheckedBitmap(const std::string& path, int fif, int flags, std::string& damage);

// A copy of page index of an open multi-page file; null when it cannot be
// read, or with damage giving the reason to refuse it when its decoder
// reports an error.
QUIREPANE_API BitmapPtr LoadCheckedPage(FIMULTIBITMAP* multi, int index, std::string& damage);

// Format code <-> FreeImage's own format number.
long FormatCodeFromFreeImage(int fif);
int FreeImageFromFormatCode(long code);

}  // namespace quirepane
