// What the image decoders say. The TIFF reader's messages are kept for the
// caller to log instead of going raw onto stderr; the notes it makes when
// FreeImage asks about EXIF tags it does not know are dropped. While a
// DecoderErrorCapture lives, the errors reported on its thread (the TIFF
// reader's and FreeImage's) are also kept in it, so a decode that went
// wrong fails instead of giving a damaged page.
#pragma once

#include <string>

#include "pdfcontrol/quirepane_api.h"

namespace quirepane {

// Installs the TIFF reader's handlers (once; safe to call any number of
// times). Where libtiff is loaded on demand they go in as it loads, and
// this loads it: FreeImage's start calls it, so that libtiff, which FreeImage
// maps as its own dependency, has them before FreeImage reads a file.
QUIREPANE_API void QuietenTiffTagNotes();

// True for the reader's note about a tag it does not know.
bool IsUnknownTagNote(const std::string& module, const std::string& message);

// True for a decoder's note about the metadata a file holds (a colour
// profile, EXIF, JFIF or XMP marker), not about its image data.
bool IsMetadataNote(const std::string& message);

// True when a TIFF reader's warning from module says that a page's coded
// data is damaged, not only that a tag is odd.
bool IsDecoderWarning(const std::string& module);

// The reader's messages since the last call, one a line; then forgets them.
QUIREPANE_API std::string TakeTiffMessages();

// The reason given for an image whose coded data is damaged, naming what
// is wrong with it.
std::string DamagedDataText(const std::string& what);

// Collects the decoders' errors reported on this thread while it lives:
// the TIFF reader's errors and the warnings of its decoders that mean
// damage, and every message FreeImage gives but those about metadata. Captures may nest; each one alive sees every report.
// Use: construct it just before decoding (through libtiff or FreeImage),
// decode, and refuse the result when Failed(), giving Reason().
class DecoderErrorCapture {
 public:
  DecoderErrorCapture();
  ~DecoderErrorCapture();
  DecoderErrorCapture(const DecoderErrorCapture&) = delete;
  DecoderErrorCapture& operator=(const DecoderErrorCapture&) = delete;

  bool Failed() const { return !first_.empty(); }
  // The first error reported, "" when none was.
  const std::string& FirstError() const { return first_; }
  // Why the decoded image must be refused (see DamagedDataText), "" when
  // no error was reported.
  std::string Reason() const;

  // Hands a decoder's error to every capture alive on this thread.
  static void Report(const std::string& text);

 private:
  DecoderErrorCapture* outer_;
  std::string first_;
};

}  // namespace quirepane
