// One TIFF file kept open while its pages are read one after another, for
// the readers that take a page's coded bytes straight from the file.
#pragma once

#include <string>

struct tiff;

namespace quirepane {

class TiffPageReader {
 public:
  explicit TiffPageReader(std::string path);
  ~TiffPageReader();
  TiffPageReader(const TiffPageReader&) = delete;
  TiffPageReader& operator=(const TiffPageReader&) = delete;

  // The open file standing at page `page` (0-based); nullptr for a file that
  // is no TIFF or cannot be opened, or a page it lacks. Pages asked for in
  // order are found without walking the file from its start again.
  tiff* Seek(int page);

 private:
  std::string path_;
  tiff* tif_ = nullptr;
  int current_ = -1;  // the page tif_ stands at
  bool failed_ = false;
};

}  // namespace quirepane
