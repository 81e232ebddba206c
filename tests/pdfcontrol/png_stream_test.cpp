#include "pdfcontrol/png_stream.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "image_factory.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

std::string Be32(uint32_t v) { return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)}; }

std::string Chunk(const std::string& type, const std::string& body) {
  const std::string typed = type + body;
  return Be32(uint32_t(body.size())) + typed + Be32(uint32_t(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size()))));
}

// A 4 by 2 grey PNG whose IDAT holds rows (each a filter byte and 4 samples).
std::string GreyPng(const std::string& rows) {
  uLongf size = compressBound(uLong(rows.size()));
  std::string packed(size, '\0');
  compress(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(rows.data()), uLong(rows.size()));
  packed.resize(size);
  return std::string("\x89PNG\r\n\x1a\n", 8) + Chunk("IHDR", Be32(4) + Be32(2) + std::string("\x08\0\0\0\0", 5)) +
         Chunk("IDAT", packed) + Chunk("IEND", "");
}

// Only a sound PNG is taken as it stands; the decoder judges any other.
TEST(PngStream, TakesOnlyFilesWhoseRowsInflateToTheImage) {
  const std::optional<PngStream> sound = ReadPngStream(GreyPng(std::string("\0abcd\4efgh", 10)));
  ASSERT_TRUE(sound);
  EXPECT_EQ(sound->DecodeParms(), "<< /BitsPerComponent 8 /Colors 1 /Columns 4 /Predictor 15 >>");
  EXPECT_TRUE(sound->palette.empty());

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
