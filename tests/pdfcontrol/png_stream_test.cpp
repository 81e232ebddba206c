#include "pdfcontrol/png_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "image_factory.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

// A 4 by 2 grey PNG whose IDAT holds rows (each a filter byte and 4 samples).
std::string GreyPng(const std::string& rows) { return PngFile(4, 2, 8, 0, rows); }

// Only a sound PNG is taken as it stands; the decoder judges any other.
TEST(PngStream, TakesOnlyFilesWhoseRowsInflateToTheImage) {
  const std::optional<PngStream> sound = ReadPngStream(GreyPng(std::string("\0abcd\4efgh", 10)));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->DecodeParms(), "<< /BitsPerComponent 8 /Colors 1 /Columns 4 /Predictor 15 >>");
  EXPECT_TRUE(sound->palette.empty());
  // Samples under 8 bits keep their depth.
  const std::optional<PngStream> packed = ReadPngStream(PngFile(4, 2, 2, 0, std::string("\0\x1b\2\xe4", 4)));
  ASSERT_TRUE(packed);
  EXPECT_EQ(packed->DecodeParms(), "<< /BitsPerComponent 2 /Colors 1 /Columns 4 /Predictor 15 >>");

  tessa::test::TempDir dir;
  const std::string rgb = tessa::test::ReadFile(MakeImage(dir.file("a.png"), FIF_PNG, 30, 20));
  const size_t idat = rgb.find("IDAT") - 4;
  std::string flipped = rgb;
  flipped[idat + 10] ^= 1;  // a byte of the rows, its chunk's CRC now wrong
  const std::string damaged[] = {
      GreyPng(std::string("\0abcd", 5)),                    // a row short
      GreyPng(std::string("\0abcd\0efgh\0ijkl", 15)),       // a row over
      GreyPng(std::string("\0abcd\7efgh", 10)),             // no such filter
      GreyPng(std::string("\0abcd\0efgh", 10)).substr(0, 60),  // cut short
      flipped,
      rgb.substr(0, 8) + rgb.substr(33),  // no header
  };
  ASSERT_TRUE(ReadPngStream(rgb));
  for (const std::string& bytes : damaged) EXPECT_FALSE(ReadPngStream(bytes)) << &bytes - damaged;
}

}  // namespace
}  // namespace quirepane::test
