// Appending never damages the PDF it appends to, and does not rewrite it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include "convert_fixture.h"
#include "pdfcontrol/pdf_writer.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// Limits the size of files this process may write, for the object's life.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_);
    previous_ = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_);
    signal(SIGXFSZ, previous_);
  }

 private:
  rlimit old_{};
  sighandler_t previous_;
};

class Appending : public ConvertFixture {
 protected:
  // A one-page PDF made by the control from a small PNG.
  std::string OnePagePdf(const std::string& name) {
    MakeImage(File("seed.png"), FIF_PNG, 50, 40);
    EXPECT_EQ(Convert(File("seed.png"), File(name)), CR_Success);
    return File(name);
  }
};

TEST_F(Appending, AppendIsAnIncrementalUpdateThatKeepsTheOldBytes) {
  const std::string pdf = OnePagePdf("book.pdf");
  const std::string before = ReadFile(pdf);
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  ASSERT_EQ(Convert(File("next.png"), pdf, FT_PNG, true, "Second title"), CR_Success);
  const std::string after = ReadFile(pdf);
  ASSERT_GT(after.size(), before.size());
  EXPECT_TRUE(after.compare(0, before.size(), before) == 0);
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 2);
  EXPECT_EQ(report.pageSizes[1], (std::pair<double, double>{70, 20}));
  EXPECT_EQ(InfoField(report, "Title"), "Second title");
}

TEST_F(Appending, LongSeriesOfAppendsStaysValid) {
  const std::string pdf = OnePagePdf("series.pdf");
  MakeImage(File("wide.png"), FIF_PNG, 90, 30, Pixels::Palette8);
  MakeImage(File("photo.jpg"), FIF_JPEG, 40, 60, Pixels::Rgb24, 0, JPEG_QUALITYGOOD);
  std::string before = ReadFile(pdf);
  for (int i = 0; i < 24; ++i) {
    const std::string title = "Title " + std::to_string(i);
    ASSERT_EQ(Convert(File(i % 2 ? "photo.jpg" : "wide.png"), pdf, FT_AUTO, true, title), CR_Success) << i;
    const std::string after = ReadFile(pdf);
    ASSERT_TRUE(after.compare(0, before.size(), before) == 0) << i;
    before = after;
  }
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 25);
  EXPECT_EQ(report.images.size(), 25u);
  EXPECT_EQ(report.pageSizes[24], (std::pair<double, double>{40, 60}));
  EXPECT_EQ(InfoField(report, "Title"), "Title 23");
  EXPECT_EQ(InfoField(report, "Producer"), "Corvane, Quirepane v1.0");
}

TEST_F(Appending, CrossReferenceStreamFilesGetAStreamUpdate) {
  const std::string plain = OnePagePdf("plain.pdf");
  const std::string pdf = File("streams.pdf");
  ASSERT_EQ(RunCommand("qpdf --object-streams=generate " + ShellQuote(plain) + " " + ShellQuote(pdf)).exitCode, 0);
  const std::string before = ReadFile(pdf);
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Convert(File("next.png"), pdf, FT_AUTO, true), CR_Success);
  const std::string after = ReadFile(pdf);
  EXPECT_TRUE(after.compare(0, before.size(), before) == 0);
  EXPECT_NE(after.find("/Type /XRef", before.size()), std::string::npos);
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 4);
}

TEST_F(Appending, AppendToAMissingFileStartsANewDocument) {
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  ASSERT_EQ(Convert(File("a.png"), File("new.pdf"), FT_AUTO, true), CR_Success);
  EXPECT_EQ(InspectPdf(File("new.pdf")).pages, 1);
}

TEST_F(Appending, UnreadableDestinationsFailAndStayIdentical) {
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  const std::string plain = OnePagePdf("plain.pdf");
  const std::string encrypted = File("locked.pdf");
  ASSERT_EQ(RunCommand("qpdf --encrypt '' owner 256 -- " + ShellQuote(plain) + " " + ShellQuote(encrypted)).exitCode, 0);
  const std::vector<std::string> targets = {
      encrypted,
      WriteFile(File("text.pdf"), "This is a letter, not a PDF.\n"),
      WriteFile(File("empty.pdf"), ""),
      WriteFile(File("broken.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 9 0 R >> endobj\ngarbage\n%%EOF\n"),
  };
  for (const std::string& target : targets) {
    const std::string before = ReadFile(target);
    EXPECT_EQ(Convert(File("a.png"), target, FT_AUTO, true), CR_Failure_General) << target;
    EXPECT_TRUE(ReadFile(target) == before) << target;
    EXPECT_FALSE(control_.LastError().empty());
  }
}

TEST_F(Appending, DamagedButRepairableFileIsRewrittenWhole) {
  const std::string pdf = OnePagePdf("damaged.pdf");
  std::string bytes = ReadFile(pdf);
  const size_t at = bytes.rfind("startxref");
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, std::string::npos, "startxref\n12345\n%%EOF\n");  // a wrong offset
  WriteFile(pdf, bytes);
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  ASSERT_EQ(Convert(File("next.png"), pdf, FT_AUTO, true), CR_Success);
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 2);
  EXPECT_FALSE(ReadFile(pdf).compare(0, bytes.size(), bytes) == 0);  // rewritten, not appended to
}

TEST_F(Appending, FailedWriteLeavesTheFileByteForByte) {
  MakeImage(File("seed.png"), FIF_PNG, 300, 300);
  ASSERT_EQ(Convert(File("seed.png"), File("book.pdf")), CR_Success);
  const std::string pdf = File("book.pdf");
  const std::string before = ReadFile(pdf);
  // The JPEG's working copy fits under the limit; the PDF grown by it does not.
  const std::string jpg = MakeImage(File("photo.jpg"), FIF_JPEG, 80, 80, Pixels::Rgb24, 0, JPEG_QUALITYSUPERB);
  ASSERT_LT(ReadFile(jpg).size(), before.size());
  ASSERT_GT(ReadFile(jpg).size(), 200u);
  {
    FileSizeLimit limit(before.size() + 64);
    EXPECT_EQ(Convert(jpg, pdf, FT_AUTO, true), CR_Failure_General);
  }
  EXPECT_TRUE(ReadFile(pdf) == before);
  {
    // A whole new document that outgrows the limit fails the same way.
    FileSizeLimit limit(ReadFile(jpg).size() + 200);
    EXPECT_EQ(Convert(jpg, pdf, FT_AUTO, false), CR_Failure_General);
  }
  EXPECT_TRUE(ReadFile(pdf) == before);
  // Only the PDF and the images remain: no half-written replacement file.
  for (const auto& entry : std::filesystem::directory_iterator(dir_.path())) {
    EXPECT_EQ(entry.path().filename().string().find(".book.pdf"), std::string::npos);
  }
}

// A cut TIFF either converts the pages it still has or fails; it never
// leaves a broken or partly changed PDF.
TEST_F(Appending, DamagedTiffNeverLeavesABrokenFile) {
  const std::string pdf = OnePagePdf("book.pdf");
  const std::string before = ReadFile(pdf);
  MakeMultipageTiff(File("pages.tif"), {{64, 64}, {64, 64}, {64, 64}}, TIFF_NONE);
  // Cut the file so that its last pages cannot be read.
  std::string tiff = ReadFile(File("pages.tif"));
  WriteFile(File("pages.tif"), tiff.substr(0, tiff.size() * 2 / 3));
  const CR_Result result = Convert(File("pages.tif"), pdf, FT_TIFF, true);
  if (result != CR_Success) {
    EXPECT_TRUE(ReadFile(pdf) == before);
  }
  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
}

TEST_F(Appending, RewrittenFileKeepsItsMode) {
  const std::string pdf = OnePagePdf("shared.pdf");
  std::filesystem::permissions(pdf, std::filesystem::perms(0640));
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  ASSERT_EQ(Convert(File("a.png"), pdf), CR_Success);
  EXPECT_EQ(std::filesystem::status(pdf).permissions() & std::filesystem::perms::all, std::filesystem::perms(0640));
}

TEST(PdfWriterPages, PageIndexAndSizeErrorsAreReported) {
  PDFWriter writer;
  EXPECT_THROW(writer.SetPageSize(1, 1), PdfWriterError);  // nothing open
  writer.NewDocument();
  writer.SelectUnit(1);
  EXPECT_THROW(writer.SetPageSize(0, 1), PdfWriterError);
  EXPECT_THROW(writer.DrawImage(0, 0, 1, 1), PdfWriterError);  // no image loaded
  writer.SetPageSize(2, 3);
  EXPECT_DOUBLE_EQ(writer.PageWidth(), 2);
  EXPECT_DOUBLE_EQ(writer.PageHeight(), 3);
  EXPECT_THROW(writer.SetDocInfo(7, "x"), PdfWriterError);
  EXPECT_THROW(writer.LoadJpeg("/nonexistent/file.jpg"), PdfWriterError);
}

}  // namespace
}  // namespace quirepane::test
