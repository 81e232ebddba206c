// A new PDF file written straight from its pages and images, without a
// document model: the catalog, the document information, a balanced page
// tree, each page with its drawing and images, and a cross-reference table
// that later appends read from the file's end.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "pdfcontrol/page_objects.h"

namespace quirepane {

// Writes pages (which draw images) as a whole new file at path, through a
// file beside it renamed into place once complete and flushed (see
// ReplacementFile). info[i] is the value of keys[i]; an empty one is left
// out. The header says PDF 1.5 when an image has 16-bit samples, else 1.3.
// Throws std::system_error naming the file, with the system's reason, when
// it cannot be written; the old file at path is then as it was.
void WriteNewDocument(const std::string& path, const std::vector<PageLayout>& pages, const std::vector<ImageObject>& images,
                      const std::array<std::string, 7>& info, const char* const keys[7]);

// A text for the document information: a literal string when it is plain
// ASCII, else UTF-16BE with its byte-order mark in hexadecimal.
std::string InfoString(const std::string& utf8);

}  // namespace quirepane
