// Turning a source image, or one page of a multi-page TIFF file, into a BMP
// file that the PDF writer can load.
#pragma once

#include <string>

struct FIBITMAP;

namespace quirepane {

// The samples of a 16-bit grey or RGB bitmap, rows from the top, most
// significant byte first; components gets 1 or 3. A 16-bit RGBA bitmap is
// laid on white (see SixteenBitOnWhite). "" for other bitmaps.
std::string SixteenBitRows(FIBITMAP* dib, int& components);

class clsConvertToBitmap {
 public:
  // Writes the image at input as a BMP file at output. The format is
  // detected from the file; fileType is accepted and not used. False when
  // the image cannot be read (also when its decoder reports an error) or
  // written; no output file is left then.
  bool ConvertToBitmap(const std::string& input, const std::string& output, long fileType);

  // Why the last image's pixels were refused when its decoder reported an
  // error; "" otherwise.
  const std::string& Damage() const { return damage_; }

 private:
  std::string damage_;
};

class clsMultipage {
 public:
  clsMultipage() = default;
  ~clsMultipage();
  clsMultipage(const clsMultipage&) = delete;
  clsMultipage& operator=(const clsMultipage&) = delete;

  // Number of pages of the TIFF file; 0 when it cannot be opened.
  long GetPageCount(const std::string& file);

  // Writes page `page` (0-based) of the TIFF file as a BMP file at output.
  // False for a file that does not open, a page below 0 or past the last,
  // or a page that cannot be written (no output file is left then).
  bool ConvertTIFFPageToBitmap(const std::string& file, const std::string& output, long page);

 private:
  // The file is opened once and kept open for the calls that follow on the
  // same file, so that a run through every page does not open it per page.
  void* Open(const std::string& file);
  void Close();

  std::string openFile_;
  void* handle_ = nullptr;  // the open multi-page bitmap of openFile_
};

}  // namespace quirepane
