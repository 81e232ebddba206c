#include "pdfcontrol/tiff_page_reader.h"

#include <tiffio.h>

#include <fstream>

#include "pdfcontrol/tiff_messages.h"

namespace quirepane {
namespace {

// Checked first, so that the TIFF reader never complains about other files.
bool StartsLikeTiff(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  char head[4] = {};
  if (!in.read(head, sizeof head)) return false;
  const std::string magic(head, sizeof head);
  return magic == std::string("II*\0", 4) || magic == std::string("MM\0*", 4);
}

}  // namespace

TiffPageReader::TiffPageReader(std::string path) : path_(std::move(path)) {}

TiffPageReader::~TiffPageReader() {
  if (tif_) TIFFClose(tif_);
}

tiff* TiffPageReader::Seek(int page) {
  if (page < 0 || failed_) return nullptr;
  if (!tif_) {
    failed_ = !StartsLikeTiff(path_);
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
