// Damaged pages fail a real tessaprint run, on the whole-file road and the
// road that cuts frames, and go into its failed-tasks job; valid fax pages
// of any size and run-length bitmaps as ImageMagick writes them convert.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <filesystem>
#include <vector>

#include "support/child_process.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

// A Group 4 TIFF of blank A0 pages at 600 dpi, pages of them; or, with
// coded, pages declaring width x height that hold those bytes only.
void WriteFaxTiff(const std::string& path, int pages, uint32_t width = 19866, uint32_t height = 28087,
                  const std::string& coded = "") {
  TIFF* tif = TIFFOpen(path.c_str(), "w");
  ASSERT_NE(tif, nullptr);
  const std::vector<uint8_t> row((width + 7) / 8, 0);
  for (int page = 0; page < pages; ++page) {
    for (const auto [tag, value] : {std::pair<uint32_t, uint32_t>{TIFFTAG_IMAGEWIDTH, width}, {TIFFTAG_IMAGELENGTH, height},
                                    {TIFFTAG_BITSPERSAMPLE, 1}, {TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE},
                                    {TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4}, {TIFFTAG_ROWSPERSTRIP, height},
                                    {TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH}})
      TIFFSetField(tif, tag, value);
    for (const uint32_t tag : {TIFFTAG_XRESOLUTION, TIFFTAG_YRESOLUTION}) TIFFSetField(tif, tag, 600.0);
    if (!coded.empty()) TIFFWriteRawStrip(tif, 0, const_cast<char*>(coded.data()), tmsize_t(coded.size()));
    for (uint32_t y = 0; coded.empty() && y < height; ++y) TIFFWriteScanline(tif, const_cast<uint8_t*>(row.data()), y);
    TIFFWriteDirectory(tif);
  }
  TIFFClose(tif);
}

class DamagedPages : public ::testing::Test {
 protected:
  test::ChildResult Run(std::vector<std::string> args, const std::string& program = test::TessaprintPath()) {
    return test::RunChild(program, args, test::ChildEnvironment(dir_.file("home")), 120);
  }
  test::TempDir dir_;
};

TEST_F(DamagedPages, APageWhoseStripIsOverwrittenFailsTheRunAndGoesIntoTheFailedJob) {
  const std::string tiff = dir_.file("three.tif");
  ASSERT_EQ(Run({"logo:", "logo:", "logo:", "-compress", "LZW", tiff}, "/usr/bin/convert").exitCode, 0);
  std::string bytes = test::ReadFile(tiff);
  bytes.replace(bytes.size() / 2, 64, std::string(64, '\xFF'));  // inside page 2's strips
  test::WriteFile(tiff, bytes);
  for (const std::vector<std::string>& pages : {std::vector<std::string>{}, {"/W", "2"}}) {
    std::vector<std::string> args{"/S", tiff, "/T", dir_.file("out.pdf"), "/B", dir_.file("failed.ZOL")};
    args.insert(args.end(), pages.begin(), pages.end());
    const test::ChildResult r = Run(args);
    EXPECT_EQ(r.exitCode, 1) << r.err;
    EXPECT_NE(r.err.find("the image data is damaged"), std::string::npos) << r.err;
    // The reader's notes are ours to hear, on the road where FreeImage loads it too.
    EXPECT_EQ(r.err.find("unknown tag"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir_.file("out.pdf")));
    EXPECT_NE(test::ReadFile(dir_.file("failed.ZOL")).find(tiff), std::string::npos);
    fs::remove(dir_.file("failed.ZOL"));
  }
}

TEST_F(DamagedPages, FaxPagesOfAnySizeAndRunLengthBitmapsGoIn) {
  const std::string a0 = dir_.file("a0.tif"), bogus = dir_.file("bogus.tif"), shot = dir_.file("shot.bmp");
  WriteFaxTiff(a0, 2);
  WriteFaxTiff(bogus, 1, 100000, 100000, std::string(16, '\x55'));
  ASSERT_EQ(Run({"-size", "1920x1080", "xc:#3050a0", "-fill", "white", "-draw", "rectangle 100,100 900,600", "-type",
                 "palette", "-compress", "RLE", "bmp3:" + shot}, "/usr/bin/convert").exitCode, 0);
  test::WriteFile(dir_.file("text.jpg"), "not a picture\n");
  const struct {
    std::string input;
    std::vector<std::string> args;
    int pages;        // 0: the run fails
    std::string why;  // in stderr of a run that fails
  } cases[] = {
      {a0, {}, 2}, {a0, {"/W", "2"}, 1}, {a0, {"/W", "1"}, 1}, {a0, {"/M", "4"}, 2},
      {bogus, {}, 0, "100000 x 100000 pixels"},
      {shot, {}, 1}, {shot, {"/F", "0"}, 1},
      {dir_.file("text.jpg"), {}, 0, "the file is not a JPEG image"},
  };
  for (const auto& c : cases) {
    const std::string pdf = dir_.file("out.pdf");
    fs::remove(pdf);
    std::vector<std::string> args{"/S", c.input, "/T", pdf};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const test::ChildResult r = Run(args);
    const std::string label = c.input + (c.args.empty() ? "" : " " + c.args[0] + c.args[1]);
    EXPECT_EQ(r.exitCode, c.pages ? 0 : 1) << label << r.err;
    EXPECT_NE(r.err.find(c.why), std::string::npos) << label << r.err;
    if (c.pages == 0) continue;
    const test::PdfReport report = test::InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << label;
    EXPECT_EQ(report.pages, c.pages) << label;
  }
}

}  // namespace
}  // namespace tessa
