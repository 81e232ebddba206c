// The codes, a byte pair at a time: a count and a colour make a run; a zero
// count is an escape: 0 ends the row, 1 ends the image, 2 moves right and
// down by the next two bytes, 3 or more give that many pixels as they are,
// padded to a whole 16-bit word. RLE4 packs two pixels a byte, high first.
// Rows run from the bottom, as FreeImage holds them.
#include "pdfcontrol/rle_bmp.h"

#include <FreeImage.h>

#include <cstdint>
#include <cstring>

#include "pdfcontrol/byte_order.h"
#include "pdfcontrol/tiff_messages.h"

namespace quirepane {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kRle8 = 1, kRle4 = 2;

struct RleHeader {
  uint32_t width = 0, height = 0, bits = 0, pixelsAt = 0, paletteAt = 0, colours = 0;
  bool topDown = false;
  uint32_t dpmX = 0, dpmY = 0;
};

bool ReadHeader(std::string_view b, RleHeader& h) {
  if (b.size() < kFileHeader + 40 || b[0] != 'B' || b[1] != 'M') return false;
  const uint32_t infoSize = Le32(b, 14), compression = Le32(b, 30);
  h.bits = Le16(b, 28);
  if (infoSize < 40 || !((compression == kRle8 && h.bits == 8) || (compression == kRle4 && h.bits == 4))) return false;
  const int32_t height = static_cast<int32_t>(Le32(b, 22));
  h.width = Le32(b, 18);
  h.topDown = height < 0;
  h.height = h.topDown ? 0u - static_cast<uint32_t>(height) : static_cast<uint32_t>(height);
  h.dpmX = Le32(b, 38);
  h.dpmY = Le32(b, 42);
  const uint32_t used = Le32(b, 46);
  h.colours = used == 0 || used > (1u << h.bits) ? 1u << h.bits : used;
  h.paletteAt = kFileHeader + infoSize;
  h.pixelsAt = Le32(b, 10);
  return h.width > 0 && h.height > 0 && static_cast<int32_t>(h.width) > 0;
}

// Writes the pixels of the coded data into dib; "" when the codes fill it
// as they should, else what is wrong with them.
std::string DecodeRuns(std::string_view data, const RleHeader& h, FIBITMAP* dib) {
  uint64_t x = 0, y = 0;
  size_t pos = 0;
  auto put = [&](uint32_t colour) {
    BYTE* line = FreeImage_GetScanLine(dib, static_cast<int>(h.topDown ? h.height - 1 - y : y));
    if (h.bits == 8) {
      line[x] = static_cast<BYTE>(colour);
    } else {
      BYTE& pair = line[x / 2];
      pair = static_cast<BYTE>(x % 2 ? (pair & 0xF0) | (colour & 0x0F) : (pair & 0x0F) | (colour << 4));
    }
    ++x;
  };
  // The colour of the i-th pixel a byte holds: itself, or one of its halves.
  auto pixel = [&](uint32_t byte, uint32_t i) { return h.bits == 8 ? byte : i % 2 ? byte & 0x0F : byte >> 4; };
  while (true) {
    if (pos + 2 > data.size()) return y >= h.height ? "" : "the file ends before its pixels do";
    const uint32_t count = ByteAt(data, pos), second = ByteAt(data, pos + 1);
    pos += 2;
    if (count > 0) {
      if (y >= h.height || x + count > h.width) return "a run goes past the end of its row";
      for (uint32_t i = 0; i < count; ++i) put(pixel(second, i));
    } else if (second == 0) {
      x = 0;
      ++y;
    } else if (second == 1) {
      return "";
    } else if (second == 2) {
      if (pos + 2 > data.size()) return "the file ends before its pixels do";
      x += ByteAt(data, pos);
      y += ByteAt(data, pos + 1);
      pos += 2;
      if (x > h.width || y > h.height || (y == h.height && x > 0)) return "a move goes past the end of the image";
    } else {
      const size_t bytes = h.bits == 8 ? second : (second + 1) / 2;
      if (pos + bytes > data.size()) return "the file ends before its pixels do";
      if (y >= h.height || x + second > h.width) return "a run goes past the end of its row";
      for (uint32_t i = 0; i < second; ++i) put(pixel(ByteAt(data, pos + (h.bits == 8 ? i : i / 2)), i));
      pos += (bytes + 1) / 2 * 2;
    }
  }
}

}  // namespace

bool IsRunLengthBmp(std::string_view bytes) {
  RleHeader header;
  return ReadHeader(bytes, header);
}

BitmapPtr DecodeRunLengthBmp(std::string_view bytes, bool headerOnly, std::string* damage) {
  RleHeader h;
  if (!ReadHeader(bytes, h)) return nullptr;
  BitmapPtr dib(FreeImage_Allocate(static_cast<int>(h.width), static_cast<int>(h.height), static_cast<int>(h.bits)));
  if (!dib) return nullptr;
  RGBQUAD* palette = FreeImage_GetPalette(dib.get());
  for (uint32_t i = 0; i < h.colours && h.paletteAt + 4 * (i + 1) <= bytes.size(); ++i) {
    const size_t at = h.paletteAt + 4 * i;
    palette[i] = RGBQUAD{static_cast<BYTE>(ByteAt(bytes, at)), static_cast<BYTE>(ByteAt(bytes, at + 1)),
                         static_cast<BYTE>(ByteAt(bytes, at + 2)), 0};
  }
  FreeImage_SetDotsPerMeterX(dib.get(), h.dpmX);
  FreeImage_SetDotsPerMeterY(dib.get(), h.dpmY);
  if (headerOnly) return dib;
  const std::string why = h.pixelsAt > bytes.size() ? "the file ends before its pixels do"
                                                    : DecodeRuns(bytes.substr(h.pixelsAt), h, dib.get());
  if (why.empty()) return dib;
  if (damage) *damage = DamagedDataText(why);
  return nullptr;
}

}  // namespace quirepane
