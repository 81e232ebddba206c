// One zlib stream made of bands compressed apart, each on a thread of its
// own: every band but the last ends on a byte boundary, so the bands'
// bytes follow one another as they are, and their checksums are joined.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>

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
// thread; each is joined on, and let go, as soon as the bands before it are.
// The stream is made in room for `bound` bytes taken at the start, whose
// end stays untouched (and so costs no memory) when the bands are smaller.
class JoinedBands {
 public:
  JoinedBands(size_t count, size_t bound);
  void Add(size_t index, DeflatedBand band);
  // The zlib stream once every band has been added; "" before.
  std::string Finish();

 private:
  std::mutex mutex_;
  size_t count_;
  size_t next_ = 0;  // the band joined next
  unsigned long adler_ = 1;
  std::string out_;
  std::map<size_t, DeflatedBand> waiting_;
};

// The most bytes DeflateBand gives for size bytes.
size_t DeflatedBound(size_t size);

}  // namespace quirepane
