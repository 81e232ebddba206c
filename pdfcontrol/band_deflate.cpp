// The bands are compressed by zlib, which can end a band on a byte boundary
// (a flush) where libdeflate always ends a whole stream. With the strategy
// for filtered data (single bytes favoured over short matches among the
// small differences predicted rows are made of), level 5 came out smaller
// on a grey scan than level 6 (0.970x against 0.975x img2pdf's bytes) in
// half the time; level 3 came out at 1.077x.
#include "pdfcontrol/band_deflate.h"

#include <zlib.h>

#include <algorithm>
#include <climits>
#include <new>

namespace quirepane {
namespace {

constexpr int kLevel = 5;
constexpr int kRawWindowBits = -15;  // raw deflate: the header and checksum are written once, for the stream
constexpr int kMemLevel = 9;
constexpr size_t kMostAtOnce = size_t(1) << 30;  // what zlib takes in one call

}  // namespace

DeflatedBand DeflateBand(const char* data, size_t size, const std::string& before, bool last) {
  DeflatedBand band;
  band.inputSize = size;
  band.adler = static_cast<uint32_t>(adler32_z(1, reinterpret_cast<const Bytef*>(data), size));
  z_stream z{};
  if (deflateInit2(&z, kLevel, Z_DEFLATED, kRawWindowBits, kMemLevel, Z_FILTERED) != Z_OK) throw std::bad_alloc();
  if (!before.empty()) deflateSetDictionary(&z, reinterpret_cast<const Bytef*>(before.data()), static_cast<uInt>(before.size()));
  band.bytes.resize(std::max<size_t>(deflateBound(&z, static_cast<uLong>(size)) + 64, DeflatedBound(size)));
  z.next_out = reinterpret_cast<Bytef*>(band.bytes.data());
  z.avail_out = static_cast<uInt>(std::min(band.bytes.size(), kMostAtOnce));
  size_t done = 0;
  int status = Z_OK;
  do {
    const size_t part = std::min(size - done, kMostAtOnce);
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data + done));
    z.avail_in = static_cast<uInt>(part);
    done += part;
    const int flush = done < size ? Z_NO_FLUSH : last ? Z_FINISH : Z_SYNC_FLUSH;
    do {
      if (z.avail_out == 0) {
        const size_t used = reinterpret_cast<char*>(z.next_out) - band.bytes.data();
        z.avail_out = static_cast<uInt>(std::min(band.bytes.size() - used, kMostAtOnce));
      }
      status = deflate(&z, flush);
    } while (z.avail_in > 0 || (flush != Z_NO_FLUSH && z.avail_out == 0 && status == Z_OK));
  } while (done < size);
  band.bytes.resize(reinterpret_cast<char*>(z.next_out) - band.bytes.data());
  band.bytes.shrink_to_fit();
  deflateEnd(&z);
  return band;
}

size_t DeflatedBound(size_t size) {
  // Stored blocks of at most 16 KB with five bytes each, the worst deflate
  // does, and the end of a band.
  return size + (size / 16384 + 1) * 5 + 64;
}

JoinedBands::JoinedBands(size_t count, size_t bound) : count_(count) {
  out_.reserve(bound + 6);
  out_ = "\x78\x9c";  // a zlib header: deflate, a 32 KB window, the default level
}

void JoinedBands::Add(size_t index, DeflatedBand band) {
  const std::lock_guard<std::mutex> lock(mutex_);
  waiting_.emplace(index, std::move(band));
  for (auto it = waiting_.begin(); it != waiting_.end() && it->first == next_; it = waiting_.erase(it), ++next_) {
    out_ += it->second.bytes;
    adler_ = adler32_combine(adler_, it->second.adler, static_cast<z_off_t>(it->second.inputSize));
  }
}

std::string JoinedBands::Finish() {
  const std::lock_guard<std::mutex> lock(mutex_);
  if (next_ != count_) return "";
  for (int shift = 24; shift >= 0; shift -= 8) out_ += static_cast<char>((adler_ >> shift) & 0xFF);
  return std::move(out_);
}

}  // namespace quirepane
