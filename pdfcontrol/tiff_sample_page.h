// A TIFF page of plain grey or RGB samples, 8 or 16 bits each, read strip
// by strip (or a row of tiles at a time) straight into bands that are
// predicted and compressed on several threads at once: the page is never
// held decoded whole, only compressed.
#pragma once

#include <cstdint>
#include <string>

#include "pdfcontrol/encoding_budget.h"
#include "pdfcontrol/sample_stream.h"

struct tiff;

namespace quirepane {

struct SamplePage {
  long width = 0, height = 0;
  int components = 1;  // 1 grey, 3 RGB
  int bitsPerComponent = 8;
  SampleStream stream;  // Flate with PNG prediction
};

enum class SamplePageRead {
  kNotPlain,  // the page is of another kind: nothing was read
  kRead,
  kRefused,  // the page is larger than the memory it may take (see PageSizeRefusal)
  kFailed,   // the file's data for the page is damaged or cannot be read
};

// Which pages take this road, and the bands they are cut into.
struct BandedRead {
  uint64_t smallestPage = kSmallestBandedPage;  // decoded bytes; smaller pages are kNotPlain
  uint64_t bandBytes = kBandBytes;
};

// Reads the page `tif` stands at, whose directory lies at `directory` in
// the file at path (each thread opens the file for itself), into page. A
// refusal goes to *refusal.
SamplePageRead ReadTiffSamplePage(tiff* tif, const std::string& path, uint64_t directory, SamplePage& page,
                                  std::string* refusal, const BandedRead& limits = {});

}  // namespace quirepane
