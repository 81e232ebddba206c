// The filter of each row is chosen as PNG encoders choose it: the one whose
// output bytes, taken as signed numbers, are smallest in sum. Deflate is
// libdeflate's, which reaches zlib's ratio in less time; it is given no more
// room than the samples take, so that samples it cannot shrink cost one
// failed try and are then stored as they are.
#include "pdfcontrol/sample_stream.h"

#include <libdeflate.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace quirepane {
namespace {

// The level at which photos and scans come out no larger than img2pdf
// makes them (see bench/README.md); the levels above cost two to four times
// the time for a percent or two.
constexpr int kLevel = 6;

struct CompressorFree {
  void operator()(libdeflate_compressor* compressor) const { libdeflate_free_compressor(compressor); }
};

// The zlib stream of bytes when it takes at most room bytes; "" otherwise.
std::string Deflate(const std::string& bytes, size_t room) {
  const std::unique_ptr<libdeflate_compressor, CompressorFree> compressor(libdeflate_alloc_compressor(kLevel));
  if (!compressor) throw std::bad_alloc();
  std::string out(room, '\0');
  out.resize(libdeflate_zlib_compress(compressor.get(), bytes.data(), bytes.size(), out.data(), out.size()));
  return out;
}

inline int Paeth(int a, int b, int c) {
  const int pa = std::abs(b - c), pb = std::abs(a - c), pc = std::abs(a + b - 2 * c);
  const int bc = pb <= pc ? b : c;
  return pa <= pb && pa <= pc ? a : bc;
}

inline unsigned Weight(uint8_t filtered) { return unsigned(std::abs(int(int8_t(filtered)))); }

// rows (of rowBytes bytes, pixels of pixelBytes) with each row led by the
// type of the PNG filter it is written with.
std::string PredictRows(const std::string& rows, size_t rowBytes, size_t pixelBytes) {
  const size_t height = rows.size() / rowBytes;
  std::string out(height * (rowBytes + 1), '\0');
  // This row and the one above, each after a pixel of zeros: the pixel left
  // of the first is taken as zero, as is the row above the first.
  std::vector<uint8_t> lines(2 * (pixelBytes + rowBytes), 0);
  uint8_t* above = lines.data();
  uint8_t* here = above + pixelBytes + rowBytes;
  std::vector<uint8_t> trial(4 * rowBytes);  // the row as Sub, Up, Average and Paeth write it
  uint8_t* const sub = trial.data();
  uint8_t* const up = sub + rowBytes;
  uint8_t* const average = up + rowBytes;
  uint8_t* const paeth = average + rowBytes;
  for (size_t y = 0; y < height; ++y) {
    std::memcpy(here + pixelBytes, rows.data() + y * rowBytes, rowBytes);
    const uint8_t* x = here + pixelBytes;
    const uint8_t* b = above + pixelBytes;
    unsigned long cost[5] = {0, 0, 0, 0, 0};
    for (size_t i = 0; i < rowBytes; ++i) {
      const int a = here[i], c = above[i];
      sub[i] = uint8_t(x[i] - a);
      up[i] = uint8_t(x[i] - b[i]);
      average[i] = uint8_t(x[i] - ((a + b[i]) >> 1));
      paeth[i] = uint8_t(x[i] - Paeth(a, b[i], c));
      cost[0] += Weight(x[i]);
      cost[1] += Weight(sub[i]);
      cost[2] += Weight(up[i]);
      cost[3] += Weight(average[i]);
      cost[4] += Weight(paeth[i]);
    }
    int best = 0;
    for (int type = 1; type < 5; ++type) best = cost[type] < cost[best] ? type : best;
    char* line = out.data() + y * (rowBytes + 1);
    line[0] = char(best);
    std::memcpy(line + 1, best == 0 ? x : trial.data() + size_t(best - 1) * rowBytes, rowBytes);
    std::swap(above, here);
  }
  return out;
}

}  // namespace

std::string PredictorParms(long columns, int colors, int bitsPerComponent) {
  return "<< /BitsPerComponent " + std::to_string(bitsPerComponent) + " /Colors " + std::to_string(colors) +
         " /Columns " + std::to_string(columns) + " /Predictor 15 >>";
}

SampleStream EncodeSamples(std::string rows, long width, long height, int colors, int bitsPerComponent, bool indexed) {
  SampleStream stream;
  const bool predict = !indexed && bitsPerComponent >= 8;
  const size_t rowBytes = (size_t(width) * size_t(colors) * size_t(bitsPerComponent) + 7) / 8;
  std::string packed;
  if (rows.size() > 1 && rowBytes > 0 && size_t(height) * rowBytes == rows.size()) {
    const size_t room = rows.size() - 1;
    packed = predict ? Deflate(PredictRows(rows, rowBytes, size_t(colors * bitsPerComponent / 8)), room)
                     : Deflate(rows, room);
  }
  if (packed.empty()) {
    stream.data = std::move(rows);
    return stream;
  }
  stream.data = std::move(packed);
  stream.filter = "/FlateDecode";
  if (predict) stream.decodeParms = PredictorParms(width, colors, bitsPerComponent);
  return stream;
}

}  // namespace quirepane
