#include "pdfcontrol/tiff_page_reader.h"

#include <tiffio.h>

#include "pdfcontrol/tiff_messages.h"
#include "pdfcontrol/tiff_page_chain.h"

namespace quirepane {

TiffPageReader::TiffPageReader(std::string path) : path_(std::move(path)) {}

TiffPageReader::~TiffPageReader() {
  if (tif_) TIFFClose(tif_);
}

tiff* TiffPageReader::Seek(int page) {
  if (page < 0 || failed_) return nullptr;
  if (!tif_) {
    failed_ = !bIsTiffFile(path_);  // so the TIFF reader never complains about other files
    if (failed_) return nullptr;
    QuietenTiffTagNotes();
    tif_ = TIFFOpen(path_.c_str(), "r");
    failed_ = tif_ == nullptr;
    if (failed_) return nullptr;
    current_ = 0;
  }
  const bool found = page == current_ || (page == current_ + 1 && TIFFReadDirectory(tif_)) ||
                     TIFFSetDirectory(tif_, static_cast<tdir_t>(page));
  current_ = page;
  if (!found) {
    // Where the reader stands is not known: start again from the first page.
    TIFFClose(tif_);
    tif_ = nullptr;
    return nullptr;
  }
  return tif_;
}

}  // namespace quirepane
