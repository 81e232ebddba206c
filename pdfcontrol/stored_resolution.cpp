#include "pdfcontrol/stored_resolution.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string_view>
#include <vector>

namespace quirepane {
namespace {

// Random access to a file's bytes, through a window of the file read at
// once, so that walking a chain of small structures costs few reads; or to
// bytes already in memory.
class ByteSource {
 public:
  explicit ByteSource(const std::string& path) : in_(path, std::ios::binary) {}
  explicit ByteSource(std::string_view bytes) : memory_(bytes), inMemory_(true) {}
  bool ok() const { return inMemory_ || static_cast<bool>(in_); }
  // Reads n bytes at offset; false when the file is shorter.
  bool Read(uint64_t offset, size_t n, std::vector<unsigned char>& out) {
    if (inMemory_) {
      if (offset > memory_.size() || n > memory_.size() - offset) return false;
      out.assign(memory_.begin() + static_cast<std::ptrdiff_t>(offset),
                 memory_.begin() + static_cast<std::ptrdiff_t>(offset + n));
      return true;
    }
    if (offset < start_ || offset - start_ + n > window_.size()) Fill(offset, n);
    if (offset < start_ || offset - start_ + n > window_.size()) return false;
    const auto from = window_.begin() + static_cast<std::ptrdiff_t>(offset - start_);
    out.assign(from, from + static_cast<std::ptrdiff_t>(n));
    return true;
  }

 private:
  static constexpr size_t kWindow = 64 * 1024;

  void Fill(uint64_t offset, size_t n) {
    window_.resize(std::max(n, kWindow));
    in_.clear();
    in_.seekg(static_cast<std::streamoff>(offset));
    in_.read(reinterpret_cast<char*>(window_.data()), static_cast<std::streamsize>(window_.size()));
    window_.resize(static_cast<size_t>(in_.gcount()));
    start_ = offset;
  }

  std::ifstream in_;
  std::vector<unsigned char> window_;
  uint64_t start_ = 0;
  std::string_view memory_;
  bool inMemory_ = false;
};

uint32_t Be32(const unsigned char* p) { return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]; }
uint16_t Be16(const unsigned char* p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t Le32(const unsigned char* p) { return (uint32_t(p[3]) << 24) | (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0]; }

long PerMetreFromInch(double dpi) { return std::lround(dpi / 0.0254); }

// A TIFF structure (a TIFF file or the body of an EXIF block) read through a
// base offset in a byte source.
class TiffReader {
 public:
  TiffReader(ByteSource& src, uint64_t base) : src_(src), base_(base) {}

  // Resolution of IFD number `page`; nullopt when the structure is damaged.
  std::optional<StoredResolution> Resolution(int page) {
    std::vector<unsigned char> b;
    if (!src_.Read(base_, 8, b)) return std::nullopt;
    if (b[0] == 'I' && b[1] == 'I') little_ = true;
    else if (b[0] == 'M' && b[1] == 'M') little_ = false;
    else return std::nullopt;
    if (U16(&b[2]) != 42) return std::nullopt;
    uint64_t ifd = U32(&b[4]);
    for (int i = 0; i < page; ++i) {
      if (ifd == 0 || !src_.Read(base_ + ifd, 2, b)) return std::nullopt;
      const uint64_t count = U16(b.data());
      if (!src_.Read(base_ + ifd + 2 + count * 12, 4, b)) return std::nullopt;
      ifd = U32(b.data());
    }
    return ResolutionAt(ifd);
  }

  // Resolution of the IFD at offset ifd; the byte order must be known.
  std::optional<StoredResolution> ResolutionAt(uint64_t ifd) {
    std::vector<unsigned char> b;
    if (ifd == 0 || !src_.Read(base_ + ifd, 2, b)) return std::nullopt;
    const size_t count = U16(b.data());
    std::vector<unsigned char> entries;
    if (!src_.Read(base_ + ifd + 2, count * 12, entries)) return std::nullopt;
    double rx = 0, ry = 0;
    int unit = 2;  // inches unless the file says otherwise
    for (size_t i = 0; i < count; ++i) {
      const unsigned char* e = &entries[i * 12];
      const uint16_t tag = U16(e);
      if (tag == 282 || tag == 283) {
        if (!src_.Read(base_ + U32(e + 8), 8, b)) return std::nullopt;
        const uint32_t num = U32(&b[0]), den = U32(&b[4]);
        const double v = den == 0 ? 0.0 : double(num) / double(den);
        (tag == 282 ? rx : ry) = v;
      } else if (tag == 296) {
        unit = U16(e + 8);
      }
    }
    if (rx <= 0 || ry <= 0 || (unit != 2 && unit != 3)) return StoredResolution{};
    if (unit == 3) return StoredResolution{std::lround(rx * 100), std::lround(ry * 100)};
    return StoredResolution{PerMetreFromInch(rx), PerMetreFromInch(ry)};
  }

 private:
  uint16_t U16(const unsigned char* p) const { return little_ ? uint16_t(p[0] | (p[1] << 8)) : Be16(p); }
  uint32_t U32(const unsigned char* p) const { return little_ ? Le32(p) : Be32(p); }

  ByteSource& src_;
  uint64_t base_;
  bool little_ = true;
};

std::optional<StoredResolution> BmpResolution(ByteSource& src) {
  std::vector<unsigned char> b;
  if (!src.Read(0, 18, b) || b[0] != 'B' || b[1] != 'M') return std::nullopt;
  if (Le32(&b[14]) < 40) return StoredResolution{};  // the old core header holds none
  if (!src.Read(38, 8, b)) return std::nullopt;
  const int32_t x = static_cast<int32_t>(Le32(&b[0]));
  const int32_t y = static_cast<int32_t>(Le32(&b[4]));
  if (x <= 0 || y <= 0) return StoredResolution{};
  return StoredResolution{x, y};
}

std::optional<StoredResolution> PngResolution(ByteSource& src) {
  std::vector<unsigned char> b;
  if (!src.Read(0, 8, b) || b[1] != 'P' || b[2] != 'N' || b[3] != 'G') return std::nullopt;
  uint64_t pos = 8;
  while (src.Read(pos, 8, b)) {
    const uint32_t len = Be32(&b[0]);
    const std::string type(b.begin() + 4, b.begin() + 8);
    if (type == "IDAT" || type == "IEND") break;
    if (type == "pHYs" && len >= 9) {
      if (!src.Read(pos + 8, 9, b)) return std::nullopt;
      if (b[8] != 1) return StoredResolution{};  // aspect ratio only
      return StoredResolution{long(Be32(&b[0])), long(Be32(&b[4]))};
    }
    pos += 12ull + len;
  }
  return StoredResolution{};
}

std::optional<StoredResolution> JpegResolution(ByteSource& src) {
  std::vector<unsigned char> b;
  if (!src.Read(0, 2, b) || b[0] != 0xFF || b[1] != 0xD8) return std::nullopt;
  std::optional<StoredResolution> jfif, exif;
  uint64_t pos = 2;
  while (src.Read(pos, 4, b) && b[0] == 0xFF) {
    const unsigned marker = b[1];
    if (marker == 0xFF) { ++pos; continue; }
    if (marker == 0xDA || marker == 0xD9) break;
    const uint16_t len = Be16(&b[2]);
    if (len < 2) break;
    std::vector<unsigned char> seg;
    if (marker == 0xE0 && len >= 16 && src.Read(pos + 4, 12, seg) && std::equal(seg.begin(), seg.begin() + 5, "JFIF")) {
      const int units = seg[7];
      const uint16_t dx = Be16(&seg[8]), dy = Be16(&seg[10]);
      if (units == 1 && dx && dy) jfif = StoredResolution{PerMetreFromInch(dx), PerMetreFromInch(dy)};
      else if (units == 2 && dx && dy) jfif = StoredResolution{long(dx) * 100, long(dy) * 100};
    } else if (marker == 0xE1 && len >= 16 && src.Read(pos + 4, 6, seg) && std::equal(seg.begin(), seg.begin() + 6, "Exif\0\0")) {
      TiffReader tiff(src, pos + 10);
      auto r = tiff.Resolution(0);
      if (r && r->x > 0) exif = r;
    }
    pos += 2ull + len;
  }
  if (jfif) return jfif;
  if (exif) return exif;
  return StoredResolution{};
}

std::optional<StoredResolution> Resolution(ByteSource& src, long format, int page) {
  if (!src.ok()) return std::nullopt;
  switch (format) {
    case 0: return BmpResolution(src);
    case 2: return JpegResolution(src);
    case 13: return PngResolution(src);
    case 18: {
      TiffReader tiff(src, 0);
      return tiff.Resolution(page);
    }
    default: return std::nullopt;
  }
}

}  // namespace

std::optional<StoredResolution> ReadStoredResolution(const std::string& path, long format, int page) {
  ByteSource src(path);
  return Resolution(src, format, page);
}

std::optional<StoredResolution> ReadStoredResolutionOfBytes(std::string_view bytes, long format, int page) {
  ByteSource src(bytes);
  return Resolution(src, format, page);
}

std::optional<StoredResolution> ReadTiffDirectoryResolution(std::string_view bytes, uint64_t directory) {
  ByteSource src(bytes);
  TiffReader tiff(src, 0);
  if (!tiff.Resolution(0)) return std::nullopt;  // learns the byte order
  return tiff.ResolutionAt(directory);
}

}  // namespace quirepane
