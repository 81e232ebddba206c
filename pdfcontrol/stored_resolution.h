// Reads the resolution an image file really stores in its header, so that a
// file without one can be told apart from one that says 72 or 300 dpi.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quirepane {

// Dots per metre in each direction; 0 in both when the file holds none.
struct StoredResolution {
  long x = 0;
  long y = 0;
};

// The resolution stored in page `page` (0-based, TIFF only) of the file at
// path, whose format code (BMP 0, JPEG 2, PNG 13, TIFF 18) names the header
// layout. {0, 0} when the header holds no absolute resolution; nullopt when
// this format is not read here or the header cannot be read.
std::optional<StoredResolution> ReadStoredResolution(const std::string& path, long format, int page = 0);

// The same, read from a whole file's bytes already in memory.
std::optional<StoredResolution> ReadStoredResolutionOfBytes(std::string_view bytes, long format, int page = 0);

// The resolution of the TIFF page whose directory lies at offset directory
// of a whole TIFF file's bytes, found without walking the pages before it.
std::optional<StoredResolution> ReadTiffDirectoryResolution(std::string_view bytes, uint64_t directory);

}  // namespace quirepane
