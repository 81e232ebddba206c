// Files whose headers promise more than they hold, converted by a real
// tessaprint whose address space is capped: a tiny file that declares a huge
// page is refused, naming the size, before the page is allocated; a file
// cut short is refused whatever type the task names; a large page whose
// data is there still converts.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <random>

#include "support/child_process.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoData = TESSA_BINARY_DIR "/share/tessaprint/Demo Data";

std::string Le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out += static_cast<char>(value >> (8 * i));
  return out;
}

std::string Be(uint32_t value, int bytes) {
  std::string out = Le(value, bytes);
  return {out.rbegin(), out.rend()};
}

// n bytes, unit over and over (zeros without one), as one zlib stream.
std::string Deflated(size_t n, const std::string& unit = std::string(1 << 20, '\0')) {
  z_stream z{};
  deflateInit(&z, Z_DEFAULT_COMPRESSION);
  std::string out, piece(1 << 16, '\0');
  for (int flush = Z_NO_FLUSH; flush != Z_FINISH;) {
    const size_t take = std::min(n, unit.size());
    n -= take;
    flush = n == 0 ? Z_FINISH : Z_NO_FLUSH;
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(unit.data()));
    z.avail_in = static_cast<uInt>(take);
    do {
      z.next_out = reinterpret_cast<Bytef*>(piece.data());
      z.avail_out = static_cast<uInt>(piece.size());
      deflate(&z, flush);
      out.append(piece, 0, piece.size() - z.avail_out);
    } while (z.avail_out == 0);
  }
  deflateEnd(&z);
  return out;
}

std::string PngChunk(const std::string& type, const std::string& body) {
  const std::string typed = type + body;
  return Be(uint32_t(body.size()), 4) + typed + Be(crc32(0, reinterpret_cast<const Bytef*>(typed.data()), uInt(typed.size())), 4);
}

// An RGBA PNG of the given size holding a few bytes of rows.
std::string Png(uint32_t width, uint32_t height) {
  return "\x89PNG\r\n\x1a\n" + PngChunk("IHDR", Be(width, 4) + Be(height, 4) + std::string("\x08\x06\0\0\0", 5)) +
         PngChunk("IDAT", Deflated(64)) + PngChunk("IEND", "");
}

// A grey TIFF, one strip a page.
struct TiffPage {
  uint32_t width, height, compression;
  std::string data;
};
std::string Tiff(const std::vector<TiffPage>& pages) {
  std::string out = std::string("II*\0", 4) + Le(8, 4);
  for (size_t i = 0; i < pages.size(); ++i) {
    const TiffPage& p = pages[i];
    const uint32_t dataAt = uint32_t(out.size() + 2 + 9 * 12 + 4);
    out += Le(9, 2);
    for (auto [tag, type, value] : {std::tuple{256, 4, p.width}, {257, 4, p.height}, {258, 3, 8u}, {259, 3, p.compression},
                                    {262, 3, 1u}, {273, 4, dataAt}, {277, 3, 1u}, {278, 4, p.height},
                                    {279, 4, uint32_t(p.data.size())}})
      out += Le(tag, 2) + Le(type, 2) + Le(1, 4) + Le(value, 4);
    out += Le(i + 1 < pages.size() ? dataAt + uint32_t(p.data.size()) : 0, 4) + p.data;
  }
  return out;
}

// A grey baseline JPEG whose one-bit codes fill an 8 x 8 block with two bits.
std::string Jpeg(uint32_t width, uint32_t height) {
  auto segment = [](char marker, const std::string& body) { return "\xFF" + std::string(1, marker) + Be(uint32_t(body.size() + 2), 2) + body; };
  const std::string oneCode = std::string("\x01", 1) + std::string(15, '\0') + std::string(1, '\0');
  return "\xFF\xD8" + segment('\xDB', std::string(1, '\0') + std::string(64, '\x01')) +
         segment('\xC0', "\x08" + Be(height, 2) + Be(width, 2) + std::string("\x01\x01\x11\x00", 4)) +
         segment('\xC4', std::string(1, '\0') + oneCode) + segment('\xC4', "\x10" + oneCode) +
         segment('\xDA', std::string("\x01\x01\x00\x00\x3F\x00", 6)) + std::string(1, '\0') + "\xFF\xD9";
}

TEST(InputBounds, PagesLargerThanTheirDataOrTheMemoryAreRefusedAndCutFilesFail) {
  test::TempDir dir;
  const std::string sunrise = test::ReadFile(kDemoData / "Sunrise.jpg"), stripes = test::ReadFile(kDemoData / "Stripes.bmp");
  const std::string pages = Tiff({{16, 16, 1, std::string(256, '\x80')}, {15000, 15000, 1, std::string(64, '\0')}});
  const std::string rle = "BM" + Le(120, 4) + Le(0, 4) + Le(118, 4) + Le(40, 4) + Le(30000, 4) + Le(30000, 4) + Le(1, 2) +
                          Le(4, 2) + Le(2, 4) + Le(2, 4) + Le(2835, 4) + Le(2835, 4) + Le(16, 4) + Le(0, 4) +
                          std::string(64, '\0') + std::string("\0\1", 2);
  // Pages that take longer to compress than to read: noise repeating further
  // apart than deflate looks back, once the rows are predicted.
  std::string noise;
  for (std::mt19937 random(7); noise.size() < 20000;) noise += static_cast<char>(random());
  for (const std::string once = noise; noise.size() < 1000000;) noise += once;
  const TiffPage busy{8000, 10000, 8, Deflated(80000000, noise)};
  const std::string gif = "GIF89a" + Le(20000, 2) + Le(20000, 2) + std::string("\x80\0\0\0\0\0\xFF\xFF\xFF,\0\0\0\0", 14) +
                          Le(20000, 2) + Le(20000, 2) + std::string("\0\x02\x02\x44\x01\0;", 7);
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> args;
    std::string text;  // in stderr; "" for a file that converts
    int pages = 1;     // of a file that converts, all in one revision
  } cases[] = {
      {"rgba.png", Png(12000, 12000), {}, "(the image is 12000 x 12000 pixels, 549 MB once decoded, more than its "},
      {"pages.tif", pages, {}, "15000 x 15000 pixels"},
      {"pages.tif", pages, {"/W", "2"}, "Unable to load frame 0 (page 2: the image is 15000 x 15000 pixels"},
      {"wide.jpg", Jpeg(20000, 20000), {}, "20000 x 20000 pixels"},
      {"wide.jpg", Jpeg(20000, 20000), {"/F", "18"}, "20000 x 20000 pixels"},
      {"rle.bmp", rle, {}, "30000 x 30000 pixels"},
      {"wide.gif", gif, {}, "20000 x 20000 pixels"},
      {"cut.jpg", sunrise.substr(0, sunrise.size() / 2), {"/F", "18"}, "Invalid file format (the file ends before its image does)"},
      {"cut.bmp", stripes.substr(0, stripes.size() - 1000), {"/F", "18"}, "Invalid file format (the file ends before its pixels do)"},
      // A page read in bands is held once, compressed: 400 MB would go in.
      {"deep.tif", Tiff({{30000, 30000, 8, Deflated(900000000)}}), {}, "of memory this computer can spare"},
      {"tall.tif", Tiff({{8000, 10000, 8, Deflated(80000000)}}), {}, ""},
      {"busy.tif", Tiff({busy, busy, busy, busy}), {}, "", 4},
  };
  for (const Case& c : cases) {
    const std::string input = test::WriteFile(dir.path() / "in" / c.name, c.bytes), pdf = dir.file("out.pdf");
    fs::remove(pdf);
    std::vector<std::string> args{"--as=1200000000", test::TessaprintPath(), "/S", input, "/T", pdf};
    args.insert(args.end(), c.args.begin(), c.args.end());
    // The noisy pages take a quarter of a minute alone; a busy machine running
    // the other tests beside them may take several times that.
    const test::ChildResult r = test::RunChild("/usr/bin/prlimit", args, test::ChildEnvironment(dir.file("home")), 300);
    const std::string label = std::string(c.name) + " " + (c.args.empty() ? "" : c.args[1]);
    if (c.text.empty()) {
      EXPECT_EQ(r.exitCode, 0) << label << r.err;
      EXPECT_EQ(test::InspectPdf(pdf).pages, c.pages) << label;
      const std::string written = test::ReadFile(pdf);
      EXPECT_EQ(written.find("%%EOF"), written.rfind("%%EOF")) << label << ": not read whole, page by page instead";
      continue;
    }
    EXPECT_EQ(r.exitCode, 1) << label;
    EXPECT_NE(r.err.find(c.text), std::string::npos) << label << r.err;
    EXPECT_LT(r.peakKilobytes, 200 * 1024) << label;
    EXPECT_FALSE(fs::exists(pdf)) << label;
  }
}

}  // namespace
}  // namespace tessa
