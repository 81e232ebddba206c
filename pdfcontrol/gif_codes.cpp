// The LZW codes of a GIF image: after a clear code the table holds the
// single colours, the clear and end codes; each code after the first adds
// one entry, and may name that entry itself, never one beyond it. Codes
// grow a bit wider each time the table fills their width, up to 12 bits,
// and stay so until the next clear code.
#include "pdfcontrol/gif_codes.h"

#include <cstdint>

#include "pdfcontrol/byte_order.h"
#include "pdfcontrol/image_header.h"
#include "pdfcontrol/tiff_messages.h"

namespace quirepane {
namespace {

constexpr uint32_t kTableSize = 4096;

// Reads codes from the data sub-blocks that start at pos, least
// significant bit first.
class CodeReader {
 public:
  CodeReader(std::string_view b, size_t pos) : b_(b), pos_(pos) {}

  // False when the sub-blocks end first.
  bool Read(unsigned width, uint32_t& code) {
    while (bits_ < width) {
      if (left_ == 0) {
        if (pos_ >= b_.size() || ByteAt(b_, pos_) == 0) return false;
        left_ = ByteAt(b_, pos_++);
      }
      if (pos_ >= b_.size()) return false;
      buffer_ |= ByteAt(b_, pos_++) << bits_;
      bits_ += 8;
      --left_;
    }
    code = buffer_ & ((1u << width) - 1);
    buffer_ >>= width;
    bits_ -= width;
    return true;
  }

 private:
  std::string_view b_;
  size_t pos_;
  uint32_t left_ = 0;  // bytes left in the current sub-block
  uint32_t buffer_ = 0;
  unsigned bits_ = 0;
};

// "" when the codes of the image whose data starts at dataAt are sound.
std::string ImageCodeDamage(std::string_view b, size_t dataAt) {
  if (dataAt >= b.size()) return "the file ends before its image does";
  const uint32_t least = ByteAt(b, dataAt);
  if (least < 1 || least > 8) return "an image's least code size is " + std::to_string(least);
  const uint32_t clear = 1u << least, end = clear + 1;
  CodeReader reader(b, dataAt + 1);
  uint32_t next = end + 1, code = 0;
  unsigned width = least + 1;
  bool first = true;
  while (reader.Read(width, code)) {
    if (code == clear) {
      next = end + 1;
      width = least + 1;
      first = true;
    } else if (code == end) {
      return "";
    } else if (first) {
      if (code > clear) return "an image starts with code " + std::to_string(code);
      first = false;
    } else {
      if (code > next) return "code " + std::to_string(code) + " names no entry of its table";
      if (next < kTableSize && ++next == 1u << width && width < 12) ++width;
    }
  }
  return "";  // codes that stop without their end code: the blocks decide
}

}  // namespace

std::string GifDamage(std::string_view bytes) {
  std::string why;
  const size_t stop = WalkGifBlocks(bytes, [&](const GifImage& image) {
    if (why.empty()) why = ImageCodeDamage(bytes, image.dataAt);
  });
  if (!why.empty()) return DamagedDataText(why);
  if (stop == bytes.size() || (stop < bytes.size() && bytes[stop] == ';')) return "";
  return stop > bytes.size() ? "the file ends before its image does" : DamagedDataText("its blocks do not reach the trailer");
}

}  // namespace quirepane
