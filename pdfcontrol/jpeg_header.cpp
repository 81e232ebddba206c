#include "pdfcontrol/jpeg_header.h"

#include <cstdint>

#include "pdfcontrol/byte_order.h"

namespace quirepane {
namespace {

// The turn the Orientation tag of an APP1 segment's EXIF data asks for (see
// JpegInfo::rotate); 0 when the segment holds no EXIF data, no such tag, or
// offsets that leave it.
int ExifRotation(std::string_view segment) {
  constexpr std::string_view kExif("Exif\0\0", 6);
  if (segment.substr(0, kExif.size()) != kExif) return 0;
  const std::string_view tiff = segment.substr(kExif.size());
  const std::string_view order = tiff.substr(0, 4);
  if (tiff.size() < 8 || (order != std::string_view("II*\0", 4) && order != std::string_view("MM\0*", 4))) return 0;
  const bool little = tiff[0] == 'I';
  auto u16 = [&](size_t at) { return little ? Le16(tiff, at) : Be16(tiff, at); };
  const size_t ifd = little ? Le32(tiff, 4) : Be32(tiff, 4);
  if (ifd > tiff.size() - 2) return 0;
  const size_t entries = u16(ifd);
  for (size_t i = 0; i < entries && ifd + 2 + 12 * (i + 1) <= tiff.size(); ++i) {
    const size_t entry = ifd + 2 + 12 * i;
    constexpr uint32_t kOrientation = 0x0112, kShort = 3;
    if (u16(entry) != kOrientation || u16(entry + 2) != kShort) continue;
    switch (u16(entry + 8)) {
      case 3: return 180;
      case 6: return 90;
      case 8: return 270;
      default: return 0;
    }
  }
  return 0;
}

}  // namespace

std::optional<JpegInfo> ReadJpegInfo(std::string_view data) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
  if (data.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return std::nullopt;
  JpegInfo info;
  bool haveFrame = false;
  bool exifSeen = false;  // the first EXIF segment is the one readers take
  size_t pos = 2;
  while (pos + 4 <= data.size()) {
    if (byte(pos) != 0xFF) return std::nullopt;
    const unsigned marker = byte(pos + 1);
    if (marker == 0xFF) { ++pos; continue; }
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { pos += 2; continue; }
    const size_t len = (size_t(byte(pos + 2)) << 8) | byte(pos + 3);
    if (len < 2 || pos + 2 + len > data.size()) return std::nullopt;
    const size_t seg = pos + 4;
    if (marker == 0xC0 || marker == 0xC2) {
      if (len < 8) return std::nullopt;
      if (byte(seg) != 8) return std::nullopt;
      info.height = (long(byte(seg + 1)) << 8) | byte(seg + 2);
      info.width = (long(byte(seg + 3)) << 8) | byte(seg + 4);
      info.components = byte(seg + 5);
      haveFrame = true;
    } else if ((marker >= 0xC1 && marker <= 0xCF) && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
      return std::nullopt;  // extended, lossless, hierarchical or arithmetic frames
    } else if (marker == 0xEE && len >= 7 && data.substr(seg, 5) == "Adobe") {
      info.adobe = true;
    } else if (marker == 0xE1 && !exifSeen) {
      info.rotate = ExifRotation(data.substr(seg, len - 2));
      exifSeen = data.substr(seg, 4) == "Exif";
    } else if (marker == 0xDA) {
      break;
    }
    pos += 2 + len;
  }
  if (!haveFrame || info.width <= 0 || info.height <= 0) return std::nullopt;
  if (info.components != 1 && info.components != 3 && info.components != 4) return std::nullopt;
  return info;
}

bool JpegReachesEnd(std::string_view data) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
  size_t pos = 2;
  while (pos + 2 <= data.size()) {
    // Bytes between segments are skipped to the next marker, as decoders do.
    if (byte(pos) != 0xFF) {
      pos = data.find('\xFF', pos);
      if (pos == std::string_view::npos) return false;
      continue;
    }
    const unsigned marker = byte(pos + 1);
    if (marker == 0xD9) return true;
    if (marker == 0xFF) { ++pos; continue; }
    if (marker == 0x00 || marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { pos += 2; continue; }
    if (pos + 4 > data.size()) return false;
    pos += 2 + ((size_t(byte(pos + 2)) << 8) | byte(pos + 3));
    if (marker != 0xDA) continue;
    // Coded data follows a scan's header up to the next marker that is not
    // a stuffed byte or a restart.
    for (;;) {
      pos = data.find('\xFF', pos);
      if (pos == std::string_view::npos || pos + 1 >= data.size()) return false;
      const unsigned next = byte(pos + 1);
      if (next != 0x00 && next != 0xFF && (next < 0xD0 || next > 0xD7)) break;
      pos += next == 0xFF ? 1 : 2;
    }
  }
  return false;
}

namespace {

// Markers that may end a scan: tables, restart interval, line count, the
// next scan, application data, comments and the end of the image.
bool MayFollowScan(unsigned marker) {
  return marker == 0xC4 || marker == 0xCC || marker == 0xDB || marker == 0xDD || marker == 0xDC || marker == 0xDA ||
         marker == 0xD9 || (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

}  // namespace

bool JpegScansIntact(std::string_view data) {
  auto byte = [&](size_t i) { return static_cast<unsigned char>(data[i]); };
  bool scanned = false;  // a scan has been read
  for (size_t pos = 2; pos + 2 <= data.size();) {
    if (byte(pos) != 0xFF) {
      // Before the first scan, bytes between segments are skipped as decoders do.
      if (scanned || (pos = data.find('\xFF', pos)) == std::string_view::npos) return false;
      continue;
    }
    const unsigned marker = byte(pos + 1);
    if (marker == 0xFF) { ++pos; continue; }  // fill
    if (marker == 0xD9) return scanned;
    if (scanned && !MayFollowScan(marker)) return false;
    if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) { pos += 2; continue; }
    if (pos + 4 > data.size()) return false;
    pos += 2 + ((size_t(byte(pos + 2)) << 8) | byte(pos + 3));
    if (marker != 0xDA) continue;
    scanned = true;
    // The coded data, up to the marker that ends it.
    for (unsigned restart = 0;;) {
      pos = data.find('\xFF', pos);
      if (pos == std::string_view::npos || pos + 1 >= data.size()) return false;
      const unsigned next = byte(pos + 1);
      if (next == 0x00) {
        pos += 2;
      } else if (next >= 0xD0 && next <= 0xD7) {
        if (next != 0xD0 + restart) return false;
        restart = (restart + 1) % 8;
        pos += 2;
      } else {
        break;
      }
    }
  }
  return false;
}

}  // namespace quirepane
