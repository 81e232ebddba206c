// Images whose coded data is damaged mid-file or cut short fail as invalid
// images on every road, while the same files whole convert; run-length
// bitmaps are decoded here, and sizes read in a unit that fits.
#include <gtest/gtest.h>

#include <cstring>

#include "convert_fixture.h"
#include "pdfcontrol/decode_guard.h"
#include "pdfcontrol/rle_bmp.h"

namespace quirepane::test {
namespace {

using tessa::test::ReadFile;
using tessa::test::WriteFile;

class DamagedImages : public ConvertFixture {
 protected:
  // ImageMagick's drawing of its logo, written to name with the given
  // options (the last may name the coder, as "bmp3:").
  std::string Made(const std::string& name, const std::string& options) {
    const auto r = tessa::test::RunCommand("convert logo: " + options + tessa::test::ShellQuote(File(name)));
    EXPECT_EQ(r.exitCode, 0) << name << r.output;
    return ReadFile(File(name));
  }
};

// The same little-endian TIFF with its JPEGTables value moved to the end.
std::string TablesLast(std::string tiff) {
  if (tiff.rfind(std::string("II*\0", 4), 0) != 0) return tiff;
  auto u32 = [&tiff](size_t at) { uint32_t v = 0; std::memcpy(&v, tiff.data() + at, 4); return v; };
  const uint32_t ifd = u32(4), entries = u32(ifd) & 0xFFFF;
  for (uint32_t i = 0; i < entries; ++i) {
    const size_t entry = ifd + 2 + 12 * i;
    if ((u32(entry) & 0xFFFF) != 347) continue;
    const std::string tables = tiff.substr(u32(entry + 8), u32(entry + 4));
    const uint32_t at = uint32_t(tiff.size());
    std::memcpy(tiff.data() + entry + 8, &at, 4);
    tiff += tables;
  }
  return tiff;
}

TEST_F(DamagedImages, DataDamagedMidFileOrCutShortIsAnInvalidImage) {
  for (const auto& [kind, options] : std::vector<std::pair<std::string, std::string>>{
           {"lzw.tif", "-compress LZW "}, {"zip.tif", "-compress Zip "}, {"photo.jpg", ""},
           {"jpeg.tif", "-compress JPEG "}, {"g3.tif", "-monochrome -compress Fax "},
           {"g4.tif", "-monochrome -compress Group4 "}, {"logo.gif", ""},
           {"rle8.bmp", "-type palette -compress RLE bmp3:"}}) {
    const std::string whole = Made(kind, options), name = File(kind);
    EXPECT_EQ(Convert(name, File("whole.pdf")), CR_Success) << kind;
    std::string overwritten = whole;
    overwritten.replace(whole.size() / 2, 64, std::string(64, '\xFF'));
    std::vector<std::string> broken{overwritten, whole.substr(0, whole.size() * 2 / 3)};
    // Cut inside the JPEG tables that all its strips share.
    if (const std::string moved = TablesLast(whole); moved != whole) broken.push_back(moved.substr(0, moved.size() - 8));
    for (const std::string& bytes : broken) {
      WriteFile(name, bytes);
      EXPECT_EQ(Convert(name, File("damaged.pdf")), CR_Failure_InvalidImageType) << kind << " " << bytes.size();
      EXPECT_FALSE(std::filesystem::exists(File("damaged.pdf"))) << kind;
    }
  }
}

TEST(RunLengthBitmaps, FourBitRunsPixelsAndMovesFillTheirPlacesAndARunPastItsRowFails) {
  auto le = [](uint32_t v, int n) { std::string out; for (int i = 0; i < n; ++i) out += char(v >> 8 * i); return out; };
  auto bmp = [&](const std::string& codes) {  // 5 x 2, 16 colours, RLE4
    return "BM" + le(0, 8) + le(118, 4) + le(40, 4) + le(5, 4) + le(2, 4) + le(1, 2) + le(4, 2) + le(2, 4) +
           le(uint32_t(codes.size()), 4) + std::string(16, '\0') + std::string(64, '\x40') + codes;
  };
  // Bottom row: 1 2 1, moved past one pixel; top row: 3 4 5 as they are.
  std::string damage;
  const BitmapPtr dib = DecodeRunLengthBmp(bmp(std::string("\3\x12\0\2\1\0\0\0\0\3\x34\x50\0\1", 14)), false, &damage);
  ASSERT_TRUE(dib) << damage;
  const std::vector<std::vector<int>> rows{{1, 2, 1, 0, 0}, {3, 4, 5, 0, 0}};
  for (unsigned y = 0; y < 2; ++y)
    for (unsigned x = 0; x < 5; ++x) {
      BYTE index = 99;
      FreeImage_GetPixelIndex(dib.get(), x, y, &index);
      EXPECT_EQ(index, rows[y][x]) << x << "," << y;
    }
  EXPECT_FALSE(DecodeRunLengthBmp(bmp(std::string("\6\x12\0\1", 4)), false, &damage));
  EXPECT_EQ(damage, "the image data is damaged (a run goes past the end of its row)");
}

TEST(ByteCounts, SizesReadInAUnitThatFits) {
  for (const auto& [bytes, text] : std::vector<std::pair<uint64_t, std::string>>{
           {812, "812 bytes"}, {38000, "37 kB"}, {1536, "1.5 kB"}, {576000000, "549 MB"}, {uint64_t(3) << 29, "1.5 GB"}})
    EXPECT_EQ(ByteCountText(bytes), text);
}

}  // namespace
}  // namespace quirepane::test
