// One zlib stream made of bands compressed apart, each on a thread of its
// own: every band but the last ends on a byte boundary, so the bands'
// bytes follow one another as they are, and their checksums are joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace quirepane {

struct DeflatedBand {
  std::string bytes;    // raw deflate blocks
  uint32_t adler = 1;   // the Adler-32 of the band's input
  size_t inputSize = 0;
};

// The band's bytes compressed, with what came before it in the stream
// (up to its last 32 KB, "" for the first band) to refer back to; last for
// the band that ends the stream.
DeflatedBand DeflateBand(const char* data, size_t size, const std::string& before, bool last);

// The stream of a known number of bands, which come in any order from any
// thread. The stream is made once, at its full length, as the bands are
// let go one by one, so that it and the bands are held together only once.
class JoinedBands {
 public:
  explicit JoinedBands(size_t count);
  void Add(size_t index, DeflatedBand band);
  // The zlib stream once every band has been added (and the bands then go);
  // "" before.
  std::string Finish();

 private:
  std::mutex mutex_;
  std::vector<DeflatedBand> bands_;
  size_t added_ = 0;
};

}  // namespace quirepane
