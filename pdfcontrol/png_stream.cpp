#include "pdfcontrol/png_stream.h"

#include <zlib.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "pdfcontrol/byte_order.h"
#include "pdfcontrol/sample_stream.h"

namespace quirepane {
namespace {

// The decoder corrects a stated gamma unless it meets the display's 2.2,
// which the usual 1/2.2 (45455) does.
bool GammaLeftAlone(uint32_t gamma) { return std::abs(2.2 * gamma / 100000.0 - 1.0) < 0.01; }

// True when data inflates to exactly rows of rowBytes bytes, each led by a
// filter type of 0 to 4.
bool RowsInflate(const std::string& data, long rows, size_t rowBytes) {
  z_stream z{};
  if (inflateInit(&z) != Z_OK) return false;
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  std::vector<unsigned char> out(1 << 16);
  const uint64_t expected = uint64_t(rows) * (rowBytes + 1);
  uint64_t total = 0;
  int status = Z_OK;
  bool filtersRight = true;
  while (status == Z_OK && total <= expected && filtersRight) {
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    status = inflate(&z, Z_NO_FLUSH);
    const uint64_t got = out.size() - z.avail_out;
    // The first byte of each row that ended up in this piece.
    for (uint64_t row = (total + rowBytes) / (rowBytes + 1); row * (rowBytes + 1) < total + got; ++row)
      filtersRight = filtersRight && out[row * (rowBytes + 1) - total] <= 4;
    total += got;
    if (status == Z_BUF_ERROR && got > 0) status = Z_OK;
  }
  inflateEnd(&z);
  return status == Z_STREAM_END && total == expected && filtersRight;
}

}  // namespace

std::string PngStream::DecodeParms() const { return PredictorParms(width, colors, bitsPerComponent); }

std::optional<PngStream> ReadPngStream(std::string_view bytes) {
  if (bytes.substr(0, kPngSignature.size()) != kPngSignature) return std::nullopt;
  PngStream png;
  int colorType = -1;
  bool ended = false, idatClosed = false;
  for (size_t pos = 8; !ended;) {
    if (bytes.size() - pos < 12) return std::nullopt;
    const uint32_t length = Be32(bytes, pos);
    if (length > bytes.size() - pos - 12) return std::nullopt;
    const std::string_view type = bytes.substr(pos + 4, 4), body = bytes.substr(pos + 8, length);
    const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + pos + 4), length + 4);
    if (crc != Be32(bytes, pos + 8 + length)) return std::nullopt;
    if (colorType < 0 && type != "IHDR") return std::nullopt;
    if (type == "IHDR") {
      if (length != 13 || colorType >= 0) return std::nullopt;
      png.width = Be32(body, 0);
      png.height = Be32(body, 4);
      png.bitsPerComponent = uint8_t(body[8]);
      colorType = uint8_t(body[9]);
      // Compression and filter method 0, no interlacing.
      if (body[10] != 0 || body[11] != 0 || body[12] != 0 || png.width == 0 || png.height == 0) return std::nullopt;
      if (png.width > 0x7FFFFFFF || png.height > 0x7FFFFFFF) return std::nullopt;
      // Grey of 1 to 16 bits, RGB of 8 or 16, palette indices of 1 to 8.
      const int bits = png.bitsPerComponent;
      const bool packed = bits == 1 || bits == 2 || bits == 4, whole = bits == 8 || bits == 16;
      if (!(colorType == 0 && (packed || whole)) && !(colorType == 2 && whole) && !(colorType == 3 && (packed || bits == 8)))
        return std::nullopt;
      png.colors = colorType == 2 ? 3 : 1;
    } else if (type == "PLTE") {
      if (length % 3 != 0 || length == 0 || length > 768) return std::nullopt;
      png.palette = body;
    } else if (type == "IDAT") {
      if (idatClosed) return std::nullopt;
      png.data += body;
    } else if (type == "IEND") {
      ended = true;
    } else if (type == "tRNS" || (type == "gAMA" && (length != 4 || !GammaLeftAlone(Be32(body, 0))))) {
      return std::nullopt;
    }
    idatClosed = idatClosed || (!png.data.empty() && type != "IDAT");
    pos += 12 + length;
  }
  if (png.data.empty() || (colorType == 3 && png.palette.empty())) return std::nullopt;
  // Indices past the palette show black, as in the decoder's full palette.
  if (colorType == 3) png.palette.resize(3u << png.bitsPerComponent, '\0');
  else png.palette.clear();
  const size_t rowBytes = (size_t(png.width) * png.colors * png.bitsPerComponent + 7) / 8;
  if (!RowsInflate(png.data, png.height, rowBytes)) return std::nullopt;
  return png;
}

}  // namespace quirepane
