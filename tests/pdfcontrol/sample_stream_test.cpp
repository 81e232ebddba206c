#include "pdfcontrol/sample_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace quirepane::test {
namespace {

// The rows of a predicted stream as a reader undoes PNG's filters (pixel
// distance bpp bytes), and the filter type of each row.
std::string Unfilter(const SampleStream& stream, size_t rowBytes, size_t rows, size_t bpp, std::vector<int>& types) {
  std::string filtered(rows * (rowBytes + 1), '\0');
  uLongf size = filtered.size();
  if (uncompress(reinterpret_cast<Bytef*>(filtered.data()), &size, reinterpret_cast<const Bytef*>(stream.data.data()),
                 stream.data.size()) != Z_OK || size != filtered.size())
    return "";
  std::string out(rows * rowBytes, '\0');
  auto at = [&out, rowBytes](size_t y, long i) { return y == size_t(-1) || i < 0 ? 0 : int(uint8_t(out[y * rowBytes + i])); };
  for (size_t y = 0; y < rows; ++y) {
    types.push_back(filtered[y * (rowBytes + 1)]);
    for (long i = 0; i < long(rowBytes); ++i) {
      const int a = at(y, i - long(bpp)), b = at(y - 1, i), c = at(y - 1, i - long(bpp));
      const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
      const int predictors[5] = {0, a, b, (a + b) / 2, pa <= pb && pa <= pc ? a : pb <= pc ? b : c};
      out[y * rowBytes + i] = char(uint8_t(filtered[y * (rowBytes + 1) + 1 + i]) + predictors[types.back() % 5]);
    }
  }
  return out;
}

// Each row gets the filter whose bytes weigh least, on packed samples too
// (a byte to the left); palette indices are deflated as they stand.
TEST(SampleStream, EachRowTakesTheFilterThatSuitsIt) {
  std::string ramp, rampUp;
  for (int i = 0; i < 16; ++i) ramp += char(i * 10), rampUp += char(i * 10 + 1);
  const std::string stripes(64, '\x55');
  const struct {
    const char* name;
    std::string rows;
    long width;
    int bits;
    bool indexed;
    std::vector<int> types;  // empty: not predicted
  } cases[] = {
      {"grey ramp, again, one up", ramp + ramp + rampUp, 16, 8, false, {1, 2, 2}},
      {"1-bit stripes, again", stripes + stripes, 512, 1, false, {1, 2}},
      {"2-bit stripes, again", stripes + stripes, 256, 2, false, {1, 2}},
      {"palette indices", ramp + ramp + ramp + ramp + ramp + ramp, 16, 8, true, {}},
  };
  for (const auto& c : cases) {
    const size_t rowBytes = (size_t(c.width) * size_t(c.bits) + 7) / 8, height = c.rows.size() / rowBytes;
    const SampleStream stream = EncodeSamples(c.rows, c.width, long(height), 1, c.bits, c.indexed);
    EXPECT_EQ(stream.filter, "/FlateDecode") << c.name;
    if (c.types.empty()) {
      EXPECT_EQ(stream.decodeParms, "") << c.name;
      continue;
    }
    EXPECT_EQ(stream.decodeParms, PredictorParms(c.width, 1, c.bits)) << c.name;
    std::vector<int> types;
    EXPECT_EQ(Unfilter(stream, rowBytes, height, 1, types), c.rows) << c.name;
    EXPECT_EQ(types, c.types) << c.name;
  }
}

}  // namespace
}  // namespace quirepane::test
