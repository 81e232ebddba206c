#include "pdfcontrol/bmp_header.h"

#include <cstdint>

#include "pdfcontrol/byte_order.h"

namespace quirepane {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kClassicSize = 40;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;
constexpr uint32_t kRle8 = 1, kRle4 = 2;
constexpr uint32_t kCoreSize = 12;  // the oldest header: 16-bit sizes

void Put32(std::string& b, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

}  // namespace

std::optional<std::string> WithClassicBmpHeader(const std::string& bytes) {
  if (bytes.size() < kFileHeader + kClassicSize + 12 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint32_t headerSize = Le32(bytes, kFileHeader);
  if (headerSize <= kClassicSize || headerSize > 124 || kFileHeader + headerSize > bytes.size()) return std::nullopt;
  const uint32_t pixelsAt = Le32(bytes, 10);
  if (pixelsAt < kFileHeader + headerSize || pixelsAt > bytes.size()) return std::nullopt;

  std::string header = bytes.substr(kFileHeader, kClassicSize);
  Put32(header, 0, kClassicSize);
  const uint32_t compression = Le32(header, 16);
  // With the classic header the red, green and blue masks follow it.
  std::string masks;
  if (compression == kBitFields || compression == kAlphaBitFields) {
    masks = bytes.substr(kFileHeader + kClassicSize, 12);
    Put32(header, 16, kBitFields);
  }
  std::string out = bytes.substr(0, kFileHeader) + header + masks + bytes.substr(kFileHeader + headerSize);
  Put32(out, 2, static_cast<uint32_t>(out.size()));
  Put32(out, 10, pixelsAt - headerSize + kClassicSize + static_cast<uint32_t>(masks.size()));
  return out;
}

std::optional<BmpLayout> ReadBmpLayout(std::string_view bytes) {
  if (bytes.size() < kFileHeader + 4 || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
  const uint32_t headerSize = Le32(bytes, kFileHeader);
  const bool core = headerSize == kCoreSize;
  if ((!core && headerSize < kClassicSize) || bytes.size() < kFileHeader + (core ? kCoreSize : kClassicSize)) return std::nullopt;
  BmpLayout layout;
  PageSize& size = layout.size;
  size.width = core ? Le16(bytes, 18) : Le32(bytes, 18);
  const int64_t height = core ? Le16(bytes, 20) : int32_t(Le32(bytes, 22));  // below 0: rows from the top
  size.height = uint64_t(height < 0 ? -height : height);
  size.bitsPerPixel = Le16(bytes, core ? 24 : 28);
  const uint32_t compression = core ? 0 : Le32(bytes, 30);
  const uint64_t pixelsAt = Le32(bytes, 10);
  uint64_t pixelBytes = 0;  // what the headers promise
  layout.runLength = compression == kRle8 || compression == kRle4;
  if (compression == 0 || compression == kBitFields || compression == kAlphaBitFields)
    pixelBytes = size.Bytes();
  else if (layout.runLength)
    pixelBytes = Le32(bytes, 34);
  layout.complete = pixelsAt <= bytes.size() && pixelBytes <= bytes.size() - pixelsAt;
  return layout;
}

}  // namespace quirepane
