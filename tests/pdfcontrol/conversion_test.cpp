// Whole conversions checked with qpdf and poppler.
#include <gtest/gtest.h>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>

#include <filesystem>
#include <locale>
#include <tuple>

#include "convert_fixture.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;

using Conversion = ConvertFixture;

TEST_F(Conversion, PageSizeFollowsTheStoredResolution) {
  MakeImage(File("res.png"), FIF_PNG, 1000, 500, Pixels::Rgb24, 3937);
  ASSERT_EQ(Convert(File("res.png"), File("res.pdf"), FT_PNG), CR_Success);
  PdfReport report = InspectPdf(File("res.pdf"));
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.pageSizes.size(), 1u);
  EXPECT_NEAR(report.pageSizes[0].first, 720, 0.01);
  EXPECT_NEAR(report.pageSizes[0].second, 360, 0.01);

  // No stored resolution counts as 72 dots per inch, one point per pixel.
  MakeImage(File("plain.png"), FIF_PNG, 1000, 500, Pixels::Rgb24, 0);
  MakeImage(File("plain.ppm"), FIF_PPMRAW, 1000, 500);
  for (const char* name : {"plain.png", "plain.ppm"}) {
    ASSERT_EQ(Convert(File(name), File("plain.pdf")), CR_Success) << name;
    report = InspectPdf(File("plain.pdf"));
    ASSERT_EQ(report.pageSizes.size(), 1u) << name;
    EXPECT_NEAR(report.pageSizes[0].first, 1000, 0.01) << name;
    EXPECT_NEAR(report.pageSizes[0].second, 500, 0.01) << name;
  }
}

// Decimal comma and a point between thousands, as many users' locales have.
struct CommaDecimals : std::numpunct<char> {
  char do_decimal_point() const override { return ','; }
  char do_thousands_sep() const override { return '.'; }
  std::string do_grouping() const override { return "\3"; }
};

TEST_F(Conversion, NumbersInThePdfIgnoreTheLocale) {
  const std::locale old = std::locale::global(std::locale(std::locale::classic(), new CommaDecimals));
  MakeImage(File("odd.png"), FIF_PNG, 1001, 333, Pixels::Rgb24, 3937);
  const CR_Result first = Convert(File("odd.png"), File("odd.pdf"), FT_PNG);
  const CR_Result second = Convert(File("odd.png"), File("odd.pdf"), FT_PNG, true);
  std::locale::global(old);
  ASSERT_EQ(first, CR_Success);
  ASSERT_EQ(second, CR_Success);
  PdfReport report = InspectPdf(File("odd.pdf"));
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.pageSizes.size(), 2u);
  EXPECT_NEAR(report.pageSizes[1].first, 720.72, 0.01);
  EXPECT_NEAR(report.pageSizes[1].second, 239.76, 0.01);
}

TEST_F(Conversion, JpegGoesInByteForByte) {
  const std::string jpg = MakeImage(File("photo.jpg"), FIF_JPEG, 300, 200, Pixels::Rgb24, 3937, JPEG_QUALITYGOOD);
  ASSERT_EQ(Convert(jpg, File("photo.pdf"), FT_JPEG), CR_Success);
  PdfReport report = InspectPdf(File("photo.pdf"));
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "jpeg");
  EXPECT_EQ(report.images[0].color, "rgb");
  EXPECT_NEAR(report.pageSizes[0].first, 216, 0.01);
  ASSERT_EQ(RunCommand("cd " + ShellQuote(dir_.path().string()) + " && pdfimages -j photo.pdf out").exitCode, 0);
  EXPECT_EQ(ReadFile(File("out-000.jpg")), ReadFile(jpg));

  // A progressive grey JPEG passes through too.
  const std::string grey = MakeImage(File("grey.jpg"), FIF_JPEG, 64, 48, Pixels::Grey8, 0, JPEG_PROGRESSIVE);
  ASSERT_EQ(Convert(grey, File("grey.pdf")), CR_Success);
  report = InspectPdf(File("grey.pdf"));
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "jpeg");
  EXPECT_EQ(report.images[0].color, "gray");
}

TEST_F(Conversion, JpegWithLargeMetadataStillGoesInByteForByte) {
  // Colour profiles of print work can fill many marker segments before the
  // frame header; the file is still a plain baseline JPEG.
  const std::string plain = ReadFile(MakeImage(File("plain.jpg"), FIF_JPEG, 64, 48, Pixels::Rgb24, 0, JPEG_QUALITYGOOD));
  std::string segments;
  for (int i = 0; i < 8; ++i) {
    segments += std::string("\xFF\xE2\xFF\xF0", 4) + "ICC_PROFILE" + std::string(1, '\0');
    segments += std::string(0xFFF0 - 2 - 12, static_cast<char>('a' + i));
  }
  const std::string jpg = tessa::test::WriteFile(File("profiled.jpg"), plain.substr(0, 2) + segments + plain.substr(2));
  ASSERT_EQ(Convert(jpg, File("profiled.pdf"), FT_JPEG), CR_Success);
  PdfReport report = InspectPdf(File("profiled.pdf"));
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "jpeg");
  ASSERT_EQ(RunCommand("cd " + ShellQuote(dir_.path().string()) + " && pdfimages -j profiled.pdf out").exitCode, 0);
  EXPECT_TRUE(ReadFile(File("out-000.jpg")) == ReadFile(jpg));
}

// jpeg with an EXIF segment after its start of image whose first directory,
// at ifd, states the orientation, in Intel or Motorola byte order.
std::string WithOrientation(const std::string& jpeg, int orientation, bool intel, int ifd = 8) {
  auto u16 = [&](int v) { return intel ? std::string{char(v & 255), char(v >> 8)} : std::string{char(v >> 8), char(v & 255)}; };
  auto u32 = [&](int v) { return intel ? u16(v & 0xFFFF) + u16(v >> 16) : u16(v >> 16) + u16(v & 0xFFFF); };
  std::string exif = std::string("Exif\0\0", 6) + (intel ? "II" : "MM") + u16(42) + u32(ifd) + u16(2);
  exif += u16(0x010F) + u16(2) + u32(4) + std::string("Cam\0", 4);  // Make, before the orientation
  exif += u16(0x0112) + u16(3) + u32(1) + u16(orientation) + u16(0) + u32(0);
  const size_t length = exif.size() + 2;
  return jpeg.substr(0, 2) + "\xFF\xE1" + char(length >> 8) + char(length & 255) + exif + jpeg.substr(2);
}

// A photo shows upright: EXIF orientation 3, 6 or 8 turns its page, the JPEG
// going in unchanged; a mirrored orientation or a damaged segment turns
// nothing. Appends straight from the file's end and through the document
// model (a new title) turn alike.
TEST_F(Conversion, PhotosShowUprightByTheirExifOrientation) {
  const std::string plain = ReadFile(MakeImage(File("plain.jpg"), FIF_JPEG, 64, 48, Pixels::Rgb24, 0, JPEG_QUALITYGOOD));
  const struct {
    int orientation, ifd, rotate;
    const char* title;
  } photos[] = {{6, 8, 90, ""},  {3, 8, 180, ""}, {8, 8, 270, ""}, {1, 8, 0, ""},       {2, 8, 0, ""},
                {4, 8, 0, ""},   {5, 8, 0, ""},   {7, 8, 0, ""},   {6, 4000, 0, ""},    {6, 8, 90, ""},
                {8, 8, 270, "a"}, {3, 8, 180, "b"}, {7, 8, 0, "c"}};
  const std::string pdf = File("photos.pdf");
  std::vector<std::string> jpegs;
  for (const auto& p : photos) {
    const std::string name = File("photo" + std::to_string(jpegs.size()) + ".jpg");
    jpegs.push_back(WithOrientation(plain, p.orientation, jpegs.size() % 2 == 0, p.ifd));
    ASSERT_EQ(Convert(tessa::test::WriteFile(name, jpegs.back()), pdf, FT_JPEG, jpegs.size() > 1, p.title), CR_Success);
  }
  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
  QPDF document;
  document.processFile(pdf.c_str());
  size_t i = 0;
  for (QPDFPageObjectHelper page : QPDFPageDocumentHelper(document).getAllPages()) {
    QPDFObjectHandle rotate = page.getAttribute("/Rotate", false);
    EXPECT_EQ(rotate.isInteger() ? rotate.getIntValue() : 0, photos[i].rotate) << i;
    const std::shared_ptr<Buffer> raw = page.getImages().begin()->second.getRawStreamData();
    EXPECT_TRUE(std::string(reinterpret_cast<const char*>(raw->getBuffer()), raw->getSize()) == jpegs[i++]) << i;
  }
  EXPECT_EQ(i, jpegs.size());
}

TEST_F(Conversion, FileNamedJpegThatIsNotOneTakesTheBitmapRoad) {
  MakeImage(File("really-png.jpg"), FIF_PNG, 40, 30);
  ASSERT_EQ(Convert(File("really-png.jpg"), File("out.pdf")), CR_Success);
  PdfReport report = InspectPdf(File("out.pdf"));
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].encoding, "image");
}

TEST_F(Conversion, DocumentInformationIsWritten) {
  MakeImage(File("a.png"), FIF_PNG, 40, 30);
  control_.SetAppendToExisting(false);
  control_.SetFileType(-1);
  control_.SetSourceFile(File("a.png"));
  control_.SetDestinationFile(File("info.pdf"));
  control_.SetPDFAuthor("Ann Author");
  control_.SetPDFTitle("Tïtle with ümlauts");
  control_.SetPDFSubject("Subject (with parentheses)");
  control_.SetPDFKeyword("one, two");
  control_.SetPDFCreator("");
  control_.Convert();
  ASSERT_EQ(results_, std::vector<CR_Result>{CR_Success});
  PdfReport report = InspectPdf(File("info.pdf"));
  EXPECT_EQ(InfoField(report, "Author"), "Ann Author");
  EXPECT_EQ(InfoField(report, "Title"), "Tïtle with ümlauts");
  EXPECT_EQ(InfoField(report, "Subject"), "Subject (with parentheses)");
  EXPECT_EQ(InfoField(report, "Keywords"), "one, two");
  EXPECT_EQ(InfoField(report, "Creator"), "");
  EXPECT_EQ(InfoField(report, "Producer"), "Corvane, Quirepane v1.0");
}

struct TypeCase {
  const char* name;
  FREE_IMAGE_FORMAT fif;
  Pixels pixels;
  int flags;
  long type;
  const char* color;
  int bpc;
};

class EveryImageType : public ConvertFixture, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(EveryImageType, ConvertsLosslesslyWithTheRightColourSpace) {
  const TypeCase& c = GetParam();
  const std::string source = MakeImage(File(c.name), c.fif, 61, 37, c.pixels, 0, c.flags);
  ASSERT_EQ(Convert(source, File("out.pdf"), c.type), CR_Success);
  PdfReport report = InspectPdf(File("out.pdf"));
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 1);
  ASSERT_EQ(report.images.size(), 1u);
  EXPECT_EQ(report.images[0].width, 61);
  EXPECT_EQ(report.images[0].height, 37);
  EXPECT_EQ(report.images[0].color, c.color);
  EXPECT_EQ(report.images[0].bpc, c.bpc);
  // Fax-coded pages keep their coding; everything else is stored losslessly.
  EXPECT_EQ(report.images[0].encoding, c.flags == TIFF_CCITTFAX4 ? "ccitt" : "image");
  // The automatic type finds the same answer.
  ASSERT_EQ(Convert(source, File("auto.pdf"), FT_AUTO), CR_Success);
}

INSTANTIATE_TEST_SUITE_P(
    Formats, EveryImageType,
    ::testing::Values(TypeCase{"rgb.bmp", FIF_BMP, Pixels::Rgb24, 0, FT_BMP, "rgb", 8},
                      TypeCase{"palette.bmp", FIF_BMP, Pixels::Palette8, 0, FT_BMP, "index", 8},
                      TypeCase{"grey.png", FIF_PNG, Pixels::Grey8, 0, FT_PNG, "gray", 8},
                      TypeCase{"palette.png", FIF_PNG, Pixels::Palette8, 0, FT_PNG, "index", 8},
                      TypeCase{"bilevel.png", FIF_PNG, Pixels::Bilevel, 0, FT_PNG, "gray", 1},
                      TypeCase{"alpha.png", FIF_PNG, Pixels::Rgba32, 0, FT_PNG, "rgb", 8},
                      TypeCase{"deep.png", FIF_PNG, Pixels::Rgb16PerChannel, 0, FT_PNG, "rgb", 16},
                      TypeCase{"deepgrey.png", FIF_PNG, Pixels::Grey16, 0, FT_PNG, "gray", 16},
                      TypeCase{"deep.tif", FIF_TIFF, Pixels::Rgb16PerChannel, 0, FT_TIFF, "rgb", 16},
                      TypeCase{"single.tif", FIF_TIFF, Pixels::Rgb24, TIFF_LZW, FT_TIFF, "rgb", 8},
                      TypeCase{"fax.tif", FIF_TIFF, Pixels::Bilevel, TIFF_CCITTFAX4, FT_TIFF, "gray", 1},
                      TypeCase{"picture.tga", FIF_TARGA, Pixels::Rgb24, 0, FT_TARGA, "rgb", 8},
                      TypeCase{"ascii.pbm", FIF_PBM, Pixels::Bilevel, PNM_SAVE_ASCII, FT_PBM, "gray", 1},
                      TypeCase{"raw.pbm", FIF_PBMRAW, Pixels::Bilevel, 0, FT_PBM_RAW, "gray", 1},
                      TypeCase{"ascii.pgm", FIF_PGM, Pixels::Grey8, PNM_SAVE_ASCII, FT_PGM, "gray", 8},
                      TypeCase{"raw.pgm", FIF_PGMRAW, Pixels::Grey8, 0, FT_PGM_RAW, "gray", 8},
                      TypeCase{"ascii.ppm", FIF_PPM, Pixels::Rgb24, PNM_SAVE_ASCII, FT_PPM, "rgb", 8},
                      TypeCase{"raw.ppm", FIF_PPMRAW, Pixels::Rgb24, 0, FT_PPMRAW, "rgb", 8},
                      TypeCase{"mono.wbmp", FIF_WBMP, Pixels::Bilevel, 0, FT_WBMP, "gray", 1},
                      TypeCase{"anim.gif", FIF_GIF, Pixels::Palette8, 0, 40, "index", 8},
                      TypeCase{"layers.psd", FIF_PSD, Pixels::Rgb24, 0, FT_PSD, "rgb", 8}),
    [](const auto& info) {
      std::string name = info.param.name;
      for (char& ch : name) if (ch == '.') ch = '_';
      return name;
    });

TEST_F(Conversion, IconConverts) {
  MakeImage(File("icon.ico"), FIF_ICO, 32, 32, Pixels::Rgb24);
  ASSERT_EQ(Convert(File("icon.ico"), File("icon.pdf"), FT_ICO), CR_Success);
  PdfReport report = InspectPdf(File("icon.pdf"));
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pageSizes, (std::vector<std::pair<double, double>>{{32, 32}}));
}

TEST_F(Conversion, MultipageTiffMakesOnePagePerFrame) {
  MakeMultipageTiff(File("three.tif"), {{100, 50}, {80, 60}, {30, 90}});
  ASSERT_EQ(Convert(File("three.tif"), File("three.pdf"), FT_AUTO), CR_Success);
  PdfReport report = InspectPdf(File("three.pdf"));
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.pages, 3);
  EXPECT_EQ(report.pageSizes[2], (std::pair<double, double>{30, 90}));

  // Appended to an existing one-page PDF: three more pages.
  MakeImage(File("first.png"), FIF_PNG, 40, 40);
  ASSERT_EQ(Convert(File("first.png"), File("joined.pdf")), CR_Success);
  ASSERT_EQ(Convert(File("three.tif"), File("joined.pdf"), FT_TIFF, true), CR_Success);
  report = InspectPdf(File("joined.pdf"));
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 4);
  EXPECT_EQ(report.pageSizes[1], (std::pair<double, double>{100, 50}));
}

TEST_F(Conversion, TiffAndJpegAreKnownByContentWhateverTheNameEnds) {
  for (const char* name : {"SCAN.TIF", "scan.Tiff", "scan"}) {
    MakeMultipageTiff(File(name), {{100, 50}, {80, 60}, {30, 90}}, TIFF_DEFAULT);
    ASSERT_EQ(Convert(File(name), File("auto.pdf"), FT_AUTO), CR_Success) << name;
    EXPECT_EQ(InspectPdf(File("auto.pdf")).pages, 3) << name;
  }
  for (const char* name : {"P.JPG", "p.JPEG", "p.jfif", "p"}) {
    MakeImage(File(name), FIF_JPEG, 64, 48, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
    ASSERT_EQ(Convert(File(name), File("photo.pdf"), FT_AUTO), CR_Success) << name;
    const PdfReport report = InspectPdf(File("photo.pdf"));
    ASSERT_EQ(report.images.size(), 1u) << name;
    EXPECT_EQ(report.images[0].encoding, "jpeg") << name << ": embedded as it stands";
  }
}

TEST_F(Conversion, SixteenBitSamplesKeepEveryBit) {
  MakeImage(File("deep.png"), FIF_PNG, 3, 2, Pixels::Grey16);
  ASSERT_EQ(Convert(File("deep.png"), File("deep.pdf")), CR_Success);
  const std::string pdf = ShellQuote(File("deep.pdf"));
  // The image stream's samples, decoded: the very samples drawn (x * 1000 + y,
  // most significant byte first, rows from the top).
  const std::string pages = RunCommand("qpdf --show-pages --with-images " + pdf).output;
  const size_t at = pages.find("/Im1: ");
  ASSERT_NE(at, std::string::npos) << pages;
  const std::string object = pages.substr(at + 6, pages.find(' ', at + 6) - at - 6);
  const std::string samples = RunCommand("qpdf --show-object=" + object + " --filtered-stream-data " + pdf).output;
  std::string expected;
  for (int y = 1; y >= 0; --y)
    for (int x = 0; x < 3; ++x) expected += {char((x * 1000 + y) >> 8), char((x * 1000 + y) & 0xFF)};
  EXPECT_EQ(samples, expected);
}

TEST_F(Conversion, SixteenBitSamplesAddedToAPdf13MarkIt15) {
  MakeImage(File("deep.png"), FIF_PNG, 3, 2, Pixels::Grey16);
  MakeImage(File("flat.png"), FIF_PNG, 3, 2);
  ASSERT_EQ(Convert(File("flat.png"), File("flat.pdf")), CR_Success);
  ASSERT_EQ(RunCommand("qpdf --force-version=1.3 " + ShellQuote(File("flat.pdf")) + " " + ShellQuote(File("old.pdf"))).exitCode, 0);
  ASSERT_EQ(Convert(File("deep.png"), File("old.pdf"), FT_AUTO, true), CR_Success);
  const PdfReport report = InspectPdf(File("old.pdf"));
  EXPECT_TRUE(report.checkPassed && InfoField(report, "PDF version") == "1.5") << report.info;
}

// A JPEG must reach its end marker; a thumbnail's marker inside a segment
// does not count, and bytes after the marker are allowed.
TEST_F(Conversion, JpegCutShortIsAnInvalidImage) {
  const std::string plain = ReadFile(MakeImage(File("plain.jpg"), FIF_JPEG, 64, 48, Pixels::Rgb24, 0, JPEG_QUALITYGOOD));
  const std::string framed = plain.substr(0, 2) + std::string("\xFF\xE1\x00\x0C" "Exif\0\0\xFF\xD8\xFF\xD9", 14) + plain.substr(2);
  for (const auto& [bytes, result] : {std::pair{plain.substr(0, plain.size() / 2), CR_Failure_InvalidImageType},
                                      std::pair{framed.substr(0, framed.size() - 2), CR_Failure_InvalidImageType},
                                      std::pair{framed + "notes\xFF\xD8", CR_Success}}) {
    const std::string pdf = File(std::to_string(bytes.size()) + ".pdf");
    EXPECT_EQ(Convert(tessa::test::WriteFile(File("in.jpg"), bytes), pdf), result) << bytes.size();
    EXPECT_EQ(std::filesystem::exists(pdf), result == CR_Success) << bytes.size();
  }
}

TEST_F(Conversion, PageSizeUsesTheDotsPerInchTheFileStates) {
  // 2835 dots per metre is how 72 dpi is stored in whole dots per metre.
  MakeImage(File("72.jpg"), FIF_JPEG, 640, 480, Pixels::Rgb24, 2835, JPEG_QUALITYNORMAL);
  MakeImage(File("300.tif"), FIF_TIFF, 600, 300, Pixels::Rgb24, 11811, TIFF_LZW);
  MakeImage(File("72.bmp"), FIF_BMP, 640, 480, Pixels::Rgb24, 2835);
  MakeImage(File("150.jpg"), FIF_JPEG, 600, 300, Pixels::Grey8, 5906, JPEG_QUALITYNORMAL);
  for (const auto& [name, w, h] : {std::tuple{"72.jpg", 640.0, 480.0}, std::tuple{"300.tif", 144.0, 72.0},
                                   std::tuple{"72.bmp", 640.0, 480.0}, std::tuple{"150.jpg", 288.0, 144.0}}) {
    ASSERT_EQ(Convert(File(name), File("sized.pdf")), CR_Success) << name;
    const PdfReport report = InspectPdf(File("sized.pdf"));
    ASSERT_EQ(report.pageSizes.size(), 1u) << name;
    EXPECT_EQ(report.pageSizes[0], (std::pair<double, double>{w, h})) << name;
  }
}

TEST_F(Conversion, DamagedMultipageTiffIsUnreadableNotShorter) {
  MakeMultipageTiff(File("three.tif"), {{100, 50}, {80, 60}, {30, 90}}, TIFF_NONE);
  const std::string whole = ReadFile(File("three.tif"));
  // Cut short after the first page's image data, and cut inside the last page.
  for (size_t keep : {size_t(100 * 50 * 3 + 200), whole.size() - 100}) {
    tessa::test::WriteFile(File("cut.tif"), whole.substr(0, keep));
    EXPECT_EQ(Convert(File("cut.tif"), File("cut.pdf")), CR_Failure_InvalidImageType) << keep;
    EXPECT_FALSE(std::filesystem::exists(File("cut.pdf"))) << keep;
  }
}

TEST_F(Conversion, UnwritableOutputsFailWithTheSystemsReason) {
  MakeImage(File("in.png"), FIF_PNG, 20, 20);
  ASSERT_EQ(Convert(File("in.png"), File("ro.pdf")), CR_Success);
  ASSERT_EQ(RunCommand("qpdf --encrypt u o 256 -- " + ShellQuote(File("ro.pdf")) + " " + ShellQuote(File("enc.pdf"))).exitCode, 0);
  std::filesystem::permissions(File("ro.pdf"), std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
  std::filesystem::create_directory(File("dir.pdf"));
  const std::string before = ReadFile(File("ro.pdf"));
  for (const auto& [name, append, reason] :
       {std::tuple{"ro.pdf", true, "the output file is read-only"}, std::tuple{"ro.pdf", false, "the output file is read-only"},
        std::tuple{"enc.pdf", true, "the PDF is encrypted"}, std::tuple{"dir.pdf", false, "Is a directory"},
        std::tuple{"dir.pdf", true, "Is a directory"}}) {
    EXPECT_EQ(Convert(File("in.png"), File(name), FT_AUTO, append), CR_Failure_General) << name;
    EXPECT_EQ(control_.FailureReason(), reason) << name << " " << append;
  }
  EXPECT_EQ(ReadFile(File("ro.pdf")), before);
}

TEST_F(Conversion, TiffCompressionsOfScannedPages) {
  MakeMultipageTiff(File("jpeg.tif"), {{64, 64}, {64, 64}}, TIFF_JPEG);
  MakeMultipageTiff(File("g4.tif"), {{64, 64}, {64, 64}}, TIFF_CCITTFAX4, Pixels::Bilevel);
  for (const char* name : {"jpeg.tif", "g4.tif"}) {
    ASSERT_EQ(Convert(File(name), File("out.pdf"), FT_TIFF), CR_Success) << name;
    PdfReport report = InspectPdf(File("out.pdf"));
    EXPECT_TRUE(report.checkPassed) << name;
    EXPECT_EQ(report.pages, 2) << name;
    // Fax pages keep their coding; JPEG ones are decoded and kept lossless.
    const std::string encoding = std::string(name) == "g4.tif" ? "ccitt" : "image";
    for (const PdfImage& image : report.images) EXPECT_EQ(image.encoding, encoding) << name;
  }
}

}  // namespace
}  // namespace quirepane::test
