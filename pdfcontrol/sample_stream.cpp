// The filter of each row is chosen as PNG encoders choose it: the one whose
// output bytes, taken as signed numbers, are smallest in sum. All four
// filters are worked out eight samples at a time. Deflate is
// libdeflate's, which reaches zlib's ratio in less time; it is given no more
// room than the samples take, so that samples it cannot shrink cost one
// failed try and are then stored as they are. Noisy samples (grey scans,
// photos) compress worse with the short matches deflate finds in noise than
// with Huffman codes alone, which zlib makes fast; the two are tried on a
// megabyte taken from across the rows, and the whole is coded once, the way
// that did better there.
#include "pdfcontrol/sample_stream.h"

#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
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

// The zlib stream of bytes coded with Huffman codes alone, without matches,
// when it takes at most room bytes; "" otherwise.
std::string HuffmanOnly(const std::string& bytes, size_t room) {
  z_stream z{};
  if (deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 15, 9, Z_HUFFMAN_ONLY) != Z_OK) throw std::bad_alloc();
  std::string out(room, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  // zlib counts in 32 bits: the input goes in pieces, the last one finishing the stream.
  int status = Z_OK;
  size_t left = bytes.size();
  do {
    const size_t piece = std::min<size_t>(left, 1u << 30);
    z.avail_in = static_cast<uInt>(piece);
    z.avail_out = static_cast<uInt>(std::min<size_t>(room - z.total_out, 1u << 30));
    left -= piece;
    status = deflate(&z, left == 0 ? Z_FINISH : Z_NO_FLUSH);
  } while (status == Z_OK && left > 0 && z.avail_out > 0);
  out.resize(status == Z_STREAM_END ? z.total_out : 0);
  deflateEnd(&z);
  return out;
}

// A few pieces from across bytes (all of them when they are few), on which
// the two codings are tried against each other.
std::string Sample(const std::string& bytes) {
  constexpr size_t kPiece = size_t(256) << 10, kPieces = 4;
  if (bytes.size() <= kPiece * kPieces) return bytes;
  std::string sample;
  for (size_t k = 0; k < kPieces; ++k) sample.append(bytes, (bytes.size() - kPiece) / (kPieces - 1) * k, kPiece);
  return sample;
}

// True when Huffman codes alone do better than deflate on a sample of bytes
// that deflate leaves more than a third of.
bool HuffmanDoesBetter(const std::string& bytes) {
  const std::string sample = Sample(bytes);
  const std::string deflated = Deflate(sample, sample.size());
  if (!deflated.empty() && deflated.size() <= sample.size() / 3) return false;
  return !HuffmanOnly(sample, deflated.empty() ? sample.size() : deflated.size() - 1).empty();
}

// The zlib stream of bytes in the coding that does better on a sample of
// them (see above), "" when it does not fit room. Either coding holds no
// more than room beside the bytes, as the encoding's share of memory
// allows.
std::string Compress(const std::string& bytes, size_t room) {
  if (HuffmanDoesBetter(bytes)) {
    std::string huffman = HuffmanOnly(bytes, room);
    if (!huffman.empty()) return huffman;
  }
  return Deflate(bytes, room);
}

// Eight samples at a time as 16-bit numbers, which the compiler keeps in
// vector registers whatever the processor.
using Eight = int16_t __attribute__((vector_size(16)));
using EightBytes = uint8_t __attribute__((vector_size(8)));
constexpr Eight kLanes = {0, 1, 2, 3, 4, 5, 6, 7};

inline Eight Load8(const uint8_t* at) {
  EightBytes bytes;
  std::memcpy(&bytes, at, sizeof bytes);
  return __builtin_convertvector(bytes, Eight);
}

inline void Store8(uint8_t* at, Eight values) {
  const EightBytes bytes = __builtin_convertvector(values & 0xFF, EightBytes);
  std::memcpy(at, &bytes, sizeof bytes);
}

inline Eight Abs8(Eight v) { return v < 0 ? -v : v; }

// What a filtered byte weighs: its value read as a signed byte, made positive.
inline Eight Weight8(Eight difference) { return Abs8(((difference + 128) & 0xFF) - 128); }

// The row x filtered four ways (Sub, Up, Average, Paeth) into the four rows
// of trial, stride bytes apart, with cost[t] the weight of filter type t's
// bytes (0 for the row as it is). b is the row above; the two come after a
// pixel of zeros and are followed by zeros up to stride, a whole number of
// eights.
void FilterRow(const uint8_t* x, const uint8_t* b, size_t rowBytes, size_t stride, size_t pixelBytes, uint8_t* trial,
               unsigned long cost[5]) {
  const uint8_t* a = x - pixelBytes;
  const uint8_t* c = b - pixelBytes;
  for (size_t i = 0; i < rowBytes;) {
    // At most 255 rounds of weights up to 128 fit a 16-bit lane.
    Eight sum[5] = {};
    for (int round = 0; round < 255 && i < rowBytes; ++round, i += 8) {
      const Eight vx = Load8(x + i), va = Load8(a + i), vb = Load8(b + i), vc = Load8(c + i);
      const Eight pa = Abs8(vb - vc), pb = Abs8(va - vc), pc = Abs8(va + vb - 2 * vc);
      const Eight predicted = ((pa <= pb) & (pa <= pc)) ? va : (pb <= pc ? vb : vc);
      const Eight filtered[4] = {vx - va, vx - vb, vx - ((va + vb) >> 1), vx - predicted};
      const Eight inRow = kLanes < int16_t(std::min<size_t>(rowBytes - i, 8));
      sum[0] += Weight8(vx) & inRow;
      for (int t = 0; t < 4; ++t) {
        sum[t + 1] += Weight8(filtered[t]) & inRow;
        Store8(trial + t * stride + i, filtered[t]);
      }
    }
    for (int t = 0; t < 5; ++t)
      for (int lane = 0; lane < 8; ++lane) cost[t] += unsigned(sum[t][lane]);
  }
}

}  // namespace

std::string PredictRows(const std::string& rows, size_t rowBytes, size_t pixelBytes) {
  const size_t height = rows.size() / rowBytes;
  const size_t stride = (rowBytes + 7) / 8 * 8;
  std::string out(height * (rowBytes + 1), '\0');
  // This row and the one above, each after a pixel of zeros: the pixel left
  // of the first is taken as zero, as is the row above the first.
  std::vector<uint8_t> lines(2 * (pixelBytes + stride), 0);
  uint8_t* above = lines.data();
  uint8_t* here = above + pixelBytes + stride;
  std::vector<uint8_t> trial(4 * stride);  // the row as Sub, Up, Average and Paeth write it
  for (size_t y = 0; y < height; ++y) {
    std::memcpy(here + pixelBytes, rows.data() + y * rowBytes, rowBytes);
    const uint8_t* x = here + pixelBytes;
    unsigned long cost[5] = {0, 0, 0, 0, 0};
    FilterRow(x, above + pixelBytes, rowBytes, stride, pixelBytes, trial.data(), cost);
    int best = 0;
    for (int type = 1; type < 5; ++type) best = cost[type] < cost[best] ? type : best;
    char* line = out.data() + y * (rowBytes + 1);
    line[0] = char(best);
    std::memcpy(line + 1, best == 0 ? x : trial.data() + size_t(best - 1) * stride, rowBytes);
    std::swap(above, here);
  }
  return out;
}

std::string PredictorParms(long columns, int colors, int bitsPerComponent) {
  return "<< /BitsPerComponent " + std::to_string(bitsPerComponent) + " /Colors " + std::to_string(colors) +
         " /Columns " + std::to_string(columns) + " /Predictor 15 >>";
}

SampleStream EncodeSamples(std::string rows, long width, long height, int colors, int bitsPerComponent, bool indexed) {
  SampleStream stream;
  const bool predict = !indexed;
  const size_t rowBytes = (size_t(width) * size_t(colors) * size_t(bitsPerComponent) + 7) / 8;
  std::string packed;
  if (rows.size() > 1 && rowBytes > 0 && size_t(height) * rowBytes == rows.size()) {
    const size_t room = rows.size() - 1;
    // Under 8 bits a pixel, the filters look one byte back.
    const size_t pixelBytes = std::max<size_t>(1, size_t(colors * bitsPerComponent / 8));
    packed = predict ? Compress(PredictRows(rows, rowBytes, pixelBytes), room) : Compress(rows, room);
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
