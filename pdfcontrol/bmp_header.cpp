#include "pdfcontrol/bmp_header.h"

#include <cstdint>

namespace quirepane {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kClassicSize = 40;
constexpr uint32_t kBitFields = 3;
constexpr uint32_t kAlphaBitFields = 6;

uint32_t Le32(const std::string& b, size_t at) {
  return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
         uint32_t(uint8_t(b[at + 3])) << 24;
}

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

}  // namespace quirepane
