// A PNG file's compressed rows taken as they are: a PDF's Flate filter with
// PNG row prediction reads the joined IDAT chunks of a PNG without alpha
// exactly as a PNG decoder does, so such an image needs no decoding.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quirepane {

// The eight bytes every PNG file starts with.
inline constexpr std::string_view kPngSignature("\x89PNG\r\n\x1a\n", 8);

struct PngStream {
  long width = 0, height = 0;
  int bitsPerComponent = 8;  // 1, 2, 4, 8 or 16
  int colors = 1;            // samples a pixel: 1 (grey or palette index) or 3 (RGB)
  std::string palette;       // an RGB triple for each index the depth holds (PLTE's, then black), else ""
  std::string data;          // the IDAT chunks joined: one zlib stream of filtered rows

  // The /DecodeParms of the stream in PDF syntax.
  std::string DecodeParms() const;
};

// The stream of the PNG file whose bytes are given, when it is one that a
// PDF takes as it is and that shows as the PNG decoder would show it: not
// interlaced, 1 to 16 bits of grey, 8 or 16 of RGB or 1 to 8 of palette, without
// alpha, tRNS or a gamma other than the display's, every chunk's CRC right
// and the rows inflating to exactly the image. nullopt for any other file.
std::optional<PngStream> ReadPngStream(std::string_view bytes);

}  // namespace quirepane
