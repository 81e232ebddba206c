// Decoded sample rows made into the bytes of a PDF image stream: Flate with
// PNG row prediction (each row's filter chosen for it), or the samples as
// they are when Flate cannot make them smaller.
#pragma once

#include <cstddef>
#include <string>

namespace quirepane {

struct SampleStream {
  std::string data;         // the stream's bytes
  std::string filter;       // "/FlateDecode", or "" for the samples as they are
  std::string decodeParms;  // the filter's /DecodeParms in PDF syntax, or ""
};

// rows (of rowBytes bytes, pixels of pixelBytes) with each row led by the
// type of the PNG filter it is written with, chosen as EncodeSamples
// chooses it; the row above the first is taken as zeros.
std::string PredictRows(const std::string& rows, size_t rowBytes, size_t pixelBytes);

// The /DecodeParms of a stream of PNG-predicted rows of columns pixels.
std::string PredictorParms(long columns, int colors, int bitsPerComponent);

// The stream of height rows, from the top, of width pixels of colors
// samples of bitsPerComponent bits each (a row ends on a whole byte; 16-bit
// samples most significant byte first). Rows are predicted, each with the
// PNG filter whose bytes, read as signed, add up to the least; samples under
// 8 bits are predicted on their packed bytes, a byte to the left as PNG
// does. Palette indices (indexed) are not, their differences meaning
// nothing. Never more bytes than rows.
SampleStream EncodeSamples(std::string rows, long width, long height, int colors, int bitsPerComponent, bool indexed);

}  // namespace quirepane
