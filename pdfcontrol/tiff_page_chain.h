// Checking that a TIFF file holds every page its chain of page directories
// promises: a file cut short (a broken copy or download) still opens and
// shows its first pages, and must not pass for a shorter document.
#pragma once

#include <string>
#include <string_view>

#include "pdfcontrol/quirepane_api.h"

namespace quirepane {

// True when the file at path starts as a TIFF (either byte order).
QUIREPANE_API bool bIsTiffFile(const std::string& path);
// The same for the first bytes of a file.
bool IsTiffHead(std::string_view head);

// True when the file at path starts as a JPEG.
QUIREPANE_API bool bIsJpegFile(const std::string& path);

// False when the file at path is a TIFF whose chain of page directories, or
// the image data a directory points to, runs past the end of the file or
// loops; true otherwise (also for files that are not TIFFs).
QUIREPANE_API bool bTiffPageChainIntact(const std::string& path);

}  // namespace quirepane
