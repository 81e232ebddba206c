// What the TIFF reader under FreeImage prints. FreeImage asks it about EXIF
// tags it does not know, and each question prints an "Internal error" line
// on stderr; those notes are dropped, every other message still shows.
#pragma once

#include <string>

namespace quirepane {

// Installs the filter (once; safe to call any number of times).
void QuietenTiffTagNotes();

// True for the reader's note about a tag it does not know.
bool IsUnknownTagNote(const std::string& module, const std::string& message);

}  // namespace quirepane
