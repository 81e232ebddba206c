// Checks made on an image file before its pixels are decoded, whatever type
// a task names: the file must hold the whole image it declares, and each
// page must fit both in the memory this computer can spare and in what the
// file's bytes can expand to. A tiny file that declares a huge image is
// refused before anything is allocated for it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/page_size.h"
#include "pdfcontrol/quirepane_api.h"

namespace quirepane {

// How far a page's coded bytes can expand, which bounds the page a file
// of so many bytes can hold.
enum class Coding {
  kTable,     // codings of tables and runs: at most 4096 pixel bytes a byte
  kFax,       // Group 3 and 4: every row takes at least one bit
  kSkipping,  // run-length bitmaps, whose codes skip rows or end the image
};

// "" when a page of the given size, coded so and held `copies` times over
// while it is converted (see encoding_budget.h), may be decoded from a file
// of fileBytes bytes; else why not, naming the page's size.
std::string PageSizeRefusal(const PageSize& size, uint64_t fileBytes, Coding coding = Coding::kTable,
                            uint64_t copies = kDecodedCopies);

// The same for a page that goes into a PDF as its file codes it, never
// decoded whole here: only what the file's bytes can hold counts.
std::string CodedPageRefusal(const PageSize& size, uint64_t fileBytes, Coding coding = Coding::kTable);

// A number of bytes in a unit that fits it: "812 bytes", "37 kB", "549 MB",
// "1.5 GB".
std::string ByteCountText(uint64_t bytes);

// "" when the image file whose bytes are given, of FreeImage format fif,
// may be decoded; else why not: it is no file of that format, it ends
// before its image does, or its largest page is refused by PageSizeRefusal.
std::string DecodeRefusal(std::string_view bytes, int fif);

// The same for the file at path ("" when it cannot be read: its loader
// then fails on its own).
QUIREPANE_API std::string DecodeRefusal(const std::string& path, int fif);

}  // namespace quirepane
