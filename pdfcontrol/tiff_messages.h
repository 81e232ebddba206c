// What the TIFF reader under FreeImage says. Its messages are kept for the
// caller to log instead of going raw onto stderr; the notes it makes when
// FreeImage asks about EXIF tags it does not know are dropped.
#pragma once

#include <string>

#include "pdfcontrol/quirepane_api.h"

namespace quirepane {

// Installs the handlers (once; safe to call any number of times).
void QuietenTiffTagNotes();

// True for the reader's note about a tag it does not know.
bool IsUnknownTagNote(const std::string& module, const std::string& message);

// The reader's messages since the last call, one a line; then forgets them.
QUIREPANE_API std::string TakeTiffMessages();

}  // namespace quirepane
