// Reads the frame header of a JPEG file to decide whether its bytes can go
// into a PDF unchanged (8-bit baseline or progressive, 1, 3 or 4 components),
// and the turn its EXIF orientation asks for.
#pragma once

#include <optional>
#include <string_view>

namespace quirepane {

struct JpegInfo {
  long width = 0;
  long height = 0;
  int components = 0;   // 1 grey, 3 colour, 4 CMYK
  bool adobe = false;   // an Adobe marker: CMYK is stored inverted
  // Degrees a viewer turns the image clockwise to show it upright: 90, 180
  // or 270 for EXIF orientation 6, 3 or 8; 0 for none, 1, or the mirrored
  // orientations, which a turn cannot put right.
  int rotate = 0;
};

// The frame header of the JPEG data, or nullopt when the data is not a JPEG
// a PDF reader can show as it stands.
std::optional<JpegInfo> ReadJpegInfo(std::string_view data);

// True when the JPEG data reaches its end-of-image marker, walking its
// segments and scans; bytes after the marker do not matter. False for data
// cut short.
bool JpegReachesEnd(std::string_view data);

// True when the coded data of each scan holds 0xFF only as a stuffed byte,
// fill before a marker, or a restart marker in its turn, each scan ends at
// a marker that may follow a scan, and from the first scan on every
// segment starts where the last one ends. Damage that writes or shifts a
// 0xFF byte breaks this almost always; a check without decoding, for data
// that goes into a PDF as it stands.
bool JpegScansIntact(std::string_view data);

}  // namespace quirepane
