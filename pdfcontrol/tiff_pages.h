// A TIFF file mapped into memory once, with where each page's directory
// lies, so that any page is decoded straight from the mapping: no page is
// found by walking the file from its start, and no byte is read twice.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pdfcontrol/freeimage_handles.h"
#include "pdfcontrol/mapped_file.h"
#include "pdfcontrol/quirepane_api.h"
#include "pdfcontrol/stored_resolution.h"

namespace quirepane {

class QUIREPANE_API TiffPages {
 public:
  // Maps the file at path; Count() is 0 when it is no TIFF or unreadable.
  explicit TiffPages(const std::string& path);
  ~TiffPages();

  // Pages in the file's chain of directories, up to the first that does
  // not lie inside the file.
  int Count() const { return static_cast<int>(directories_.size()); }

  // Page `page` (0-based) as FreeImage decodes it, without a transparency
  // the page holds no samples for; null for a page past the last or one
  // that cannot be decoded. A page larger than the memory it may take, or
  // than the file's bytes can hold, is refused before it is decoded, and a
  // page whose decoder reports an error after; the refusal (naming its
  // size, or the error) then goes to *refusal when one is given.
  BitmapPtr Load(int page, std::string* refusal = nullptr) const;

  // Where page `page`'s directory lies in the file.
  uint64_t Directory(int page) const { return directories_[static_cast<size_t>(page)]; }

  // The resolution the page states; {0, 0} when it states none.
  StoredResolution Resolution(int page) const;

 private:
  // Where the page's entry for tag lies; nullopt when it has none.
  QUIREPANE_INTERNAL std::optional<uint64_t> Entry(int page, uint16_t tag) const;
  // The first value of the page's SHORT or LONG tag; fallback when absent.
  QUIREPANE_INTERNAL uint32_t Tag(int page, uint16_t tag, uint32_t fallback) const;
  QUIREPANE_INTERNAL uint32_t U16(uint64_t at) const;
  QUIREPANE_INTERNAL uint32_t U32(uint64_t at) const;
  // The page read through a view whose header names its directory, with
  // FreeImage load flags.
  QUIREPANE_INTERNAL BitmapPtr Decode(int page, int flags) const;

  MappedFile map_;
  bool little_ = true;
  std::vector<uint32_t> directories_;  // file offset of each page's directory
};

}  // namespace quirepane
