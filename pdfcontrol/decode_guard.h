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

// "" when a page of the given size, held `copies` times over while it is
// converted (see encoding_budget.h), may be decoded from a file of
// fileBytes bytes; else why not, naming the page's size.
std::string PageSizeRefusal(const PageSize& size, uint64_t fileBytes, uint64_t copies = kDecodedCopies);

// The same for a page that goes into a PDF as its file codes it, never
// decoded here: only what the file's bytes can hold counts.
std::string CodedPageRefusal(const PageSize& size, uint64_t fileBytes);

// "" when the image file whose bytes are given, of FreeImage format fif,
// may be decoded; else why not: it ends before its image does, or its
// largest page is refused by PageSizeRefusal.
std::string DecodeRefusal(std::string_view bytes, int fif);

// The same for the file at path ("" when it cannot be read: its loader
// then fails on its own).
QUIREPANE_API std::string DecodeRefusal(const std::string& path, int fif);

}  // namespace quirepane
