// The imaging control of the main form: counts the frames of an image file,
// loads one frame into a byte buffer and writes a buffer back out as a
// one-frame TIFF with a chosen compression. Built on FreeImage (a TIFF's
// pages read from one mapping of the file); the buffer is an uncompressed
// TIFF image held in memory.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pdfcontrol/freeimage_handles.h"
#include "pdfcontrol/tiff_pages.h"

namespace tessa {

class ImageFile {
 public:
  // Compression index used when writing: 0 none, 1 LZW, 2 PackBits,
  // 3 CCITT G3, 4 CCITT G4. A CCITT choice for a frame that is not 1-bit
  // keeps the frame's colours and writes LZW; any other index writes none.
  enum Compression : int32_t { kNone = 0, kLzw = 1, kPackBits = 2, kCcittG3 = 3, kCcittG4 = 4 };

  ImageFile() = default;
  ImageFile(const ImageFile&) = delete;
  ImageFile& operator=(const ImageFile&) = delete;

  // The compression index of later writes.
  int32_t CompressionIndex() const { return compression_; }
  void SetCompressionIndex(int32_t index) { compression_ = index; }

  // On while a multi-page file opened by LoadFrame is held open for the
  // next load of the same file (LoadFrame turns it on). Setting it off,
  // as callers do around every split, closes the held file.
  bool HoldSource() const { return hold_; }
  void SetHoldSource(bool hold);

  // Number of frames of the image file at sPath: the page count of a TIFF,
  // GIF or ICO, 1 for any other readable image, 0 when it cannot be read.
  int32_t FrameCount(const std::string& sPath);

  // Loads frame lIndex (from 0) of sPath into abFrame. False, with abFrame
  // emptied, for a missing or unreadable file or an index outside the frames,
  // and for a file refused before it is decoded (see LastRefusal).
  bool LoadFrame(const std::string& sPath, int32_t lIndex, std::vector<uint8_t>& abFrame);

  // Why the last LoadFrame refused its file or frame before decoding it (it
  // ends before its image does, or the frame is too large, named with its
  // size); "" when it did not.
  const std::string& LastRefusal() const { return refusal_; }

  // Writes a buffer made by LoadFrame to sPath as a one-frame TIFF with the
  // current compression, replacing whatever the file held. False when the
  // buffer is no image or the file cannot be written.
  bool SaveFrame(const std::vector<uint8_t>& abFrame, const std::string& sPath);

 private:
  void CloseHeld();

  int32_t compression_ = kNone;
  bool hold_ = false;
  quirepane::MultiBitmapPtr held_;  // the open multi-page file heldPath_
  std::unique_ptr<quirepane::TiffPages> heldTiff_;  // or its mapping, for a TIFF
  int heldFormat_ = -1;
  std::string heldPath_;
  std::string refusal_;
};

}  // namespace tessa
