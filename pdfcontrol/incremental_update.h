// Appends new and changed objects of an open document to the end of its
// file as an incremental update, leaving every old byte where it was.
#pragma once

#include <optional>
#include <utility>
#include <string>
#include <vector>

#include <qpdf/QPDF.hh>

namespace quirepane {

// Where a PDF file's last cross-reference section starts and its form.
struct XrefTail {
  unsigned long long startxref = 0;
  bool stream = false;  // a cross-reference stream rather than a table
};

// The last cross-reference section of the PDF file open on fd, of fileSize
// bytes, as the "startxref" in its last 2048 bytes names it; nullopt when
// the file does not end the usual way.
std::optional<XrefTail> ReadXrefTail(int fd, unsigned long long fileSize);

// An object's text without the blanks that only stand beside a delimiter
// ("<< /Count 3 /Kids [ 4 0 R ] >>" becomes "<</Count 3/Kids[4 0 R]>>").
std::string Compact(const std::string& text);

// A cross-reference table listing offsets (sorted by object), then the
// trailer with /Size size and trailerKeys (" /Root 1 0 R /Prev 123" ...).
std::string XrefTableAndTrailer(const std::vector<std::pair<QPDFObjGen, unsigned long long>>& offsets, long long size,
                                const std::string& trailerKeys);

// Writes update at oldSize (the end of the file open on fd) and flushes it
// to disk, through tessa::AppendInPlace, so that a writer killed part-way
// leaves nothing the next touch of path does not cut away. On failure the
// file is cut back to oldSize and std::system_error names path and keeps
// the system's reason.
void WriteUpdate(int fd, const std::string& path, const std::string& update, unsigned long long oldSize);

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
