// Appending never damages the PDF it appends to, and does not rewrite it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <cstdio>
#include <map>

#include "convert_fixture.h"
#include "pdfcontrol/pdf_writer.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::FileSizeLimit;
using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// A PDF written by hand from (number, body) pairs, as other programs lay
// them out, with a cross-reference table and the trailer keys given.
std::string HandMadePdf(const std::vector<std::pair<int, std::string>>& objects, const std::string& trailerKeys) {
  std::string pdf = "%PDF-1.4\n";
  std::map<int, size_t> offsets;
  for (const auto& [number, body] : objects) {
    offsets[number] = pdf.size();
    pdf += std::to_string(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  const int size = offsets.rbegin()->first + 1;
  pdf += "xref\n0 " + std::to_string(size) + "\n0000000000 65535 f\r\n";
  for (int n = 1; n < size; ++n) {
    char entry[32];
    if (offsets.count(n)) std::snprintf(entry, sizeof entry, "%010zu 00000 n\r\n", offsets[n]);
    else std::snprintf(entry, sizeof entry, "0000000000 00001 f\r\n");
    pdf += entry;
  }
  return pdf + "trailer\n<< /Size " + std::to_string(size) + " " + trailerKeys + " >>\nstartxref\n" +
         std::to_string(xref) + "\n%%EOF\n";
}

const char* kSquareContent = "<< /Length 23 >>\nstream\n0 0 1 rg 0 0 50 50 re f\nendstream";

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

TEST_F(Appending, EarlierDocumentInformationSurvivesLaterAppends) {
  // A PDF from another program, without document information of its own.
  const std::string plain = OnePagePdf("plain.pdf");
  const std::string pdf = File("other.pdf");
  ASSERT_EQ(RunCommand("qpdf --empty --pages " + ShellQuote(plain) + " -- " + ShellQuote(pdf)).exitCode, 0);
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  control_.SetAppendToExisting(true);
  control_.SetFileType(FT_AUTO);
  control_.SetSourceFile(File("a.png"));
  control_.SetDestinationFile(pdf);
  control_.SetPDFAuthor("Ann Author");
  control_.SetPDFKeyword("first, second");
  control_.SetPDFTitle("");
  results_.clear();
  control_.Convert();
  ASSERT_EQ(results_, std::vector<CR_Result>{CR_Success});
  // Later appends set only a title; what they leave empty stays as it was.
  for (int i = 1; i <= 3; ++i) {
    const std::string title = "Title " + std::to_string(i);
    ASSERT_EQ(Convert(File("a.png"), pdf, FT_AUTO, true, title), CR_Success) << i;
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << i;
    EXPECT_EQ(report.pages, i + 2);
    EXPECT_EQ(InfoField(report, "Author"), "Ann Author") << i;
    EXPECT_EQ(InfoField(report, "Keywords"), "first, second") << i;
    EXPECT_EQ(InfoField(report, "Title"), title) << i;
  }
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
      WriteFile(File("broken.pdf"), "%PDF-1.4\n1 0 obj << /Type /Catalog /Pages 9 0 R >> endobj\ngarbage\n%%EOF\n"),
  };
  for (const std::string& target : targets) {
    const std::string before = ReadFile(target);
    EXPECT_EQ(Convert(File("a.png"), target, FT_AUTO, true), CR_Failure_General) << target;
    EXPECT_TRUE(ReadFile(target) == before) << target;
    EXPECT_FALSE(control_.LastError().empty());
  }
}

// Every road writes into the file a link names and keeps the link: direct,
// a stream section, a whole rewrite, a new document over a file and one
// through a link to no file yet. An empty file takes a new document.
TEST_F(Appending, LinkedAndEmptyDestinations) {
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  const std::string own = OnePagePdf("own.pdf");
  WriteFile(File("empty.pdf"), "");
  for (const std::string form : {"--linearize", "--object-streams=generate"})
    ASSERT_EQ(RunCommand("qpdf " + form + " " + ShellQuote(own) + " " + ShellQuote(File(form.substr(2)))).exitCode, 0);
  const struct { const char* target; bool append; int pages; } cases[] = {
      {"own.pdf", true, 2}, {"object-streams=generate", true, 2}, {"linearize", true, 2},
      {"own.pdf", false, 1}, {"new.pdf", true, 1}, {"empty.pdf", true, 1}};
  for (const auto& c : cases) {
    std::filesystem::remove(File("link.pdf"));
    std::filesystem::create_symlink(c.target, File("link.pdf"));
    ASSERT_EQ(Convert(File("a.png"), File("link.pdf"), FT_AUTO, c.append), CR_Success) << c.target;
    EXPECT_TRUE(std::filesystem::is_symlink(File("link.pdf"))) << c.target;
    const PdfReport report = InspectPdf(File(c.target));
    EXPECT_TRUE(report.checkPassed && report.pages == c.pages) << c.target << " " << report.pages;
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

TEST_F(Appending, BytesBeforeTheHeaderDoNotShiftTheNewObjects) {
  // Readers find "%PDF-" after leading bytes and count every offset from it.
  const std::string pdf = OnePagePdf("mailed.pdf");
  WriteFile(pdf, "Content-Type: application/pdf\r\n\r\n" + ReadFile(pdf));
  ASSERT_TRUE(InspectPdf(pdf).checkPassed);
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  for (int i = 1; i <= 2; ++i) {
    ASSERT_EQ(Convert(File("next.png"), pdf, FT_AUTO, true), CR_Success) << i;
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << i;
    EXPECT_EQ(report.pages, i + 1);
    EXPECT_EQ(RunCommand("pdfinfo " + ShellQuote(pdf) + " 2>&1 >/dev/null").output, "") << i;
  }
}

TEST_F(Appending, PageTreesLaidOutByOtherProgramsGrowCorrectly) {
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  struct Case {
    const char* name;
    std::vector<std::pair<int, std::string>> objects;
    std::string trailer;
  };
  const std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>";
  const std::vector<Case> cases = {
      {"count-object.pdf",
       {{1, "<< /Type /Catalog /Pages 2 0 R >>"}, {2, "<< /Type /Pages /Kids [3 0 R] /Count 5 0 R >>"}, {3, page},
        {4, kSquareContent}, {5, "1"}},
       "/Root 1 0 R"},
      {"kids-object.pdf",
       {{1, "<< /Type /Catalog /Pages 2 0 R >>"}, {2, "<< /Type /Pages /Kids 5 0 R /Count 1 >>"}, {3, page},
        {4, kSquareContent}, {5, "[3 0 R]"}},
       "/Root 1 0 R"},
      {"late-catalog.pdf",
       {{1, "<< /Author (Someone) >>"}, {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /Rotate 90 >>"}, {3, page},
        {4, kSquareContent}, {9, "<< /Type /Catalog /Pages 2 0 R >>"}},
       "/Root 9 0 R /Info 1 0 R"},
      {"direct-info.pdf",
       {{1, "<< /Type /Catalog /Pages 2 0 R >>"}, {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 >>"}, {3, page},
        {4, kSquareContent}},
       "/Root 1 0 R /Info << /Author (Direct) >>"},
  };
  for (const Case& c : cases) {
    const std::string pdf = WriteFile(File(c.name), HandMadePdf(c.objects, c.trailer));
    ASSERT_TRUE(InspectPdf(pdf).checkPassed) << c.name;
    for (int i = 1; i <= 2; ++i) ASSERT_EQ(Convert(File("next.png"), pdf, FT_AUTO, true), CR_Success) << c.name;
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << c.name;
    EXPECT_EQ(report.pages, 3) << c.name;
    EXPECT_EQ(report.pageSizes.back(), (std::pair<double, double>{70, 20})) << c.name;
    EXPECT_EQ(RunCommand("qpdf --show-npages " + ShellQuote(pdf)).output, "3\n") << c.name;
  }
  EXPECT_EQ(InfoField(InspectPdf(File("late-catalog.pdf")), "Author"), "Someone");
  EXPECT_EQ(InfoField(InspectPdf(File("direct-info.pdf")), "Author"), "Direct");
  EXPECT_EQ(RunCommand("pdfinfo -f 3 -l 3 " + ShellQuote(File("late-catalog.pdf")) + " | grep 'Page    3 rot'").output,
            "Page    3 rot:   0\n");
}

TEST_F(Appending, CatalogAndPageTreeKeepWhatTheyReferTo) {
  // Bookmarks, metadata and resources the old pages inherit from the tree.
  const std::string pdf = WriteFile(
      File("outlined.pdf"),
      HandMadePdf({{1, "<< /Type /Catalog /Pages 2 0 R /Outlines 5 0 R /Metadata 9 0 R /PageMode /UseOutlines "
                       "/Names << /Dests 10 0 R >> >>"},
                   {2, "<< /Type /Pages /Kids [3 0 R] /Count 1 /Resources 8 0 R >>"},
                   {3, "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] /Contents 4 0 R >>"},
                   {4, kSquareContent},
                   {5, "<< /Type /Outlines /First 6 0 R /Last 6 0 R /Count 1 >>"},
                   {6, "<< /Title (Chapter one) /Parent 5 0 R /Dest [3 0 R /Fit] >>"},
                   {7, "<< /Title (Outlined) >>"},
                   {8, "<< /ProcSet [/PDF] >>"},
                   {9, "<< /Type /Metadata /Subtype /XML /Length 0 >>\nstream\n\nendstream"},
                   {10, "<< /Names [(one) [3 0 R /Fit]] >>"}},
                  "/Root 1 0 R /Info 7 0 R"));
  ASSERT_TRUE(InspectPdf(pdf).checkPassed);
  MakeImage(File("next.png"), FIF_PNG, 70, 20);
  for (int i = 1; i <= 2; ++i) {
    ASSERT_EQ(Convert(File("next.png"), pdf, FT_AUTO, true), CR_Success) << i;
    const std::string catalog = RunCommand("qpdf --show-object=1 " + ShellQuote(pdf)).output;
    EXPECT_NE(catalog.find("/Outlines 5 0 R"), std::string::npos) << catalog;
    EXPECT_NE(catalog.find("/Metadata 9 0 R"), std::string::npos) << catalog;
    EXPECT_NE(catalog.find("/Dests 10 0 R"), std::string::npos) << catalog;
    const std::string tree = RunCommand("qpdf --show-object=2 " + ShellQuote(pdf)).output;
    EXPECT_NE(tree.find("/Resources 8 0 R"), std::string::npos) << tree;
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed);
    EXPECT_EQ(report.pages, i + 1);
  }
}

TEST_F(Appending, FailedWriteLeavesTheFileByteForByte) {
  MakeImage(File("seed.bmp"), FIF_BMP, 300, 300);
  ASSERT_EQ(Convert(File("seed.bmp"), File("book.pdf")), CR_Success);
  const std::string pdf = File("book.pdf");
  const std::string before = ReadFile(pdf);
  // The JPEG's working copy fits under the limit; the PDF grown by it does not.
  const std::string jpg = MakeImage(File("photo.jpg"), FIF_JPEG, 40, 40, Pixels::Rgb24, 0, JPEG_QUALITYSUPERB);
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

namespace quirepane::test {
namespace {

// A name near the file system's limit leaves no room for the temporary
// name's suffix: the replacement still lands, under a short temporary name.
TEST_F(Appending, DestinationWithANameNearTheLimitIsWritten) {
  MakeImage(File("in.png"), FIF_PNG, 30, 20);
  const std::string pdf = File(std::string(246, 'n') + ".pdf");
  ASSERT_EQ(Convert(File("in.png"), pdf), CR_Success);
  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
  ASSERT_EQ(Convert(File("in.png"), pdf), CR_Success) << "a second whole write replaces the first";
  EXPECT_EQ(InspectPdf(pdf).pages, 1);
}

}  // namespace
}  // namespace quirepane::test
