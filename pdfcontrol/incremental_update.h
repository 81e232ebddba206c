// Appends new and changed objects of an open document to the end of its
// file as an incremental update, leaving every old byte where it was.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

namespace quirepane {

// Where a PDF file's last cross-reference section starts and its form.
struct XrefTail {
  unsigned long long startxref = 0;
  bool stream = false;  // a cross-reference stream rather than a table
};

// The last cross-reference section of the PDF bytes' tail, or nullopt when
// the file does not end the usual way.
std::optional<XrefTail> FindXrefTail(const std::string& tail, unsigned long long fileSize);

// Writes objects (new ones and changed old ones of pdf, which was read from
// path) after the old bytes of path, with a cross-reference section of the
// old file's form whose /Prev points to the old one, and the trailer's
// /Root, /Info and /ID. Throws std::runtime_error naming the file and the
// reason on failure; the file is cut back to its old length then.
// Unchanged objects in carried are not written again: the new section lists
// them at the offsets the old last table gives, so that the next append
// still finds them in the last section alone. One the old last section does
// not list (or a cross-reference stream) is written again instead.
void AppendIncrementalUpdate(QPDF& pdf, const std::string& path, std::vector<QPDFObjGen> objects,
                             const std::vector<QPDFObjGen>& carried = {});

}  // namespace quirepane
