// Appending at scale: the page tree stays shallow and in order, each append
// costs about the same bytes, and trees made by other programs keep how
// their old pages look.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <map>

#include <qpdf/QPDF.hh>

#include "convert_fixture.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::FileSizeLimit;
using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// Number of /Pages nodes above each page, the deepest first.
int DeepestPage(const std::string& path) {
  QPDF pdf;
  pdf.processFile(path.c_str());
  int deepest = 0;
  for (QPDFObjectHandle page : pdf.getAllPages()) {
    int depth = 0;
    for (QPDFObjectHandle node = page.getKey("/Parent"); node.isDictionary() && depth < 100;
         node = node.getKey("/Parent")) {
      ++depth;
    }
    deepest = std::max(deepest, depth);
  }
  return deepest;
}

// Size, rotation and images of every page, as pdfinfo and pdfimages see them.
std::string Looks(const std::string& path, int pages) {
  std::string looks = RunCommand("pdfinfo -f 1 -l " + std::to_string(pages) + " " + ShellQuote(path) +
                                 " | grep -E '^Page +[0-9]+ (size|rot)'").output;
  for (const PdfImage& image : tessa::test::PdfImages(path)) {
    if (image.page > pages) continue;
    looks += std::to_string(image.page) + ": " + std::to_string(image.width) + "x" + std::to_string(image.height) +
             " " + image.color + " " + image.encoding + "\n";
  }
  return looks;
}

// Bytes this process has read so far through read() and its kin.
long long BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  long long value = 0;
  while (io >> key >> value) {
    if (key == "rchar:") return value;
  }
  return -1;
}

class AppendingAtScale : public ConvertFixture {};

TEST_F(AppendingAtScale, ThousandAppendsStayInOrderShallowAndEvenlyPriced) {
  // Thirty JPEGs told apart by their sizes (a page of a JPEG without a
  // resolution is as many points as the image has pixels).
  for (int i = 0; i < 30; ++i) {
    MakeImage(File("p" + std::to_string(i) + ".jpg"), FIF_JPEG, 100 + i, 60, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
  }
  const std::string pdf = File("big.pdf");
  std::map<int, size_t> added;
  size_t size = 0;
  for (int k = 1; k <= 1000; ++k) {
    ASSERT_EQ(Convert(File("p" + std::to_string(k % 30) + ".jpg"), pdf, FT_AUTO, true), CR_Success) << k;
    const size_t now = std::filesystem::file_size(pdf);
    added[k] = now - size;
    size = now;
  }
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  ASSERT_EQ(report.pages, 1000);
  for (int k = 1; k <= 1000; ++k) ASSERT_EQ(report.pageSizes[k - 1].first, 100 + k % 30) << "page " << k;
  EXPECT_LE(DeepestPage(pdf), 3);  // 16 * 16 * 16 pages fit under three levels
  EXPECT_LE(added[1000], added[10] * 3 / 2) << added[10];  // both add p10.jpg
}

// Another program's PDF with object streams and a flat page tree is read
// only at its end: the first append reads little more of a long file than
// of a short one (a longer cross-reference stream and tree root), the next
// as much, and every page and the information stay.
TEST_F(AppendingAtScale, AppendsToObjectStreamPdfsReadOnlyTheirEnd) {
  for (int i = 0; i < 30; ++i) {
    MakeImage(File("p" + std::to_string(i) + ".jpg"), FIF_JPEG, 100 + i, 60, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
  }
  std::map<int, long long> first, read;
  for (const int pages : {10, 300}) {
    const std::string own = File("own" + std::to_string(pages) + ".pdf");
    const std::string pdf = File("streams" + std::to_string(pages) + ".pdf");
    for (int k = 0; k < pages; ++k) {
      ASSERT_EQ(Convert(File("p" + std::to_string(k % 30) + ".jpg"), own, FT_AUTO, true, "Kept"), CR_Success);
    }
    ASSERT_EQ(RunCommand("qpdf --object-streams=generate " + ShellQuote(own) + " --pages " + ShellQuote(own) + " -- " +
                         ShellQuote(pdf)).exitCode, 0);
    for (int k = pages; k < pages + 2; ++k) {
      const long long before = BytesRead();
      ASSERT_EQ(Convert(File("p" + std::to_string(k % 30) + ".jpg"), pdf, FT_AUTO, true), CR_Success) << k;
      (k == pages ? first : read)[pages] = BytesRead() - before;
    }
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << pages;
    ASSERT_EQ(report.pages, pages + 2);
    for (int k = 0; k < pages + 2; ++k) ASSERT_EQ(report.pageSizes[k].first, 100 + k % 30) << "page " << k + 1;
    EXPECT_EQ(InfoField(report, "Title"), "Kept");
  }
  EXPECT_LE(first[300], first[10] + 32768) << first[10];
  EXPECT_LE(read[300], read[10] + 8192) << read[10];
}

// The catalog and the document information go into an update only when
// they change; otherwise the update lists them where they already are.
TEST_F(AppendingAtScale, UnchangedInformationIsNotWrittenAgain) {
  MakeImage(File("p.jpg"), FIF_JPEG, 80, 60, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
  const std::string pdf = File("info.pdf");
  const struct {
    const char* title;
    bool written;
  } steps[] = {{"First", true}, {"First", false}, {"Second", true}, {"Second", false}};
  for (const auto& step : steps) {
    const size_t before = std::filesystem::exists(pdf) ? std::filesystem::file_size(pdf) : 0;
    ASSERT_EQ(Convert(File("p.jpg"), pdf, FT_AUTO, true, step.title), CR_Success) << step.title;
    const std::string update = ReadFile(pdf).substr(before);
    EXPECT_EQ(update.find("/Title") != std::string::npos, step.written) << step.title;
    EXPECT_EQ(update.find("/Catalog") != std::string::npos, before == 0) << step.title;
  }
  PdfReport report = InspectPdf(pdf);
  EXPECT_TRUE(report.checkPassed);
  EXPECT_EQ(report.pages, 4);
  EXPECT_EQ(InfoField(report, "Title"), "Second");
}

TEST_F(AppendingAtScale, TreesOfOtherProgramsKeepHowTheirPagesLook) {
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  ASSERT_EQ(Convert(File("a.png"), File("one.pdf")), CR_Success);
  MakeImage(File("b.jpg"), FIF_JPEG, 30, 70);
  ASSERT_EQ(Convert(File("b.jpg"), File("two.pdf")), CR_Success);
  std::string many;
  for (int i = 0; i < 20; ++i) many += " " + ShellQuote(File(i % 2 ? "one.pdf" : "two.pdf"));
  // Nested, with the media box, crop box, rotation and resources inherited
  // from nodes above the pages.
  const std::string image = "<< /Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray "
                            "/BitsPerComponent 8 /Length 2 >>\nstream\n\x10\xf0\nendstream";
  const std::string draw = "<< /Length 33 >>\nstream\nq 100 0 0 50 10 10 cm /Im0 Do Q\n\nendstream";
  const std::string nested = WriteFile(
      File("nested.pdf"),
      "%PDF-1.4\n1 0 obj\n<< /Type /Catalog /Pages 2 0 R >>\nendobj\n"
      "2 0 obj\n<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 3 /MediaBox [0 0 300 200] /Rotate 90 "
      "/Resources << /XObject << /Im0 8 0 R >> >> >>\nendobj\n"
      "3 0 obj\n<< /Type /Pages /Parent 2 0 R /Kids [5 0 R 6 0 R] /Count 2 /Rotate 180 /CropBox [0 0 150 100] >>\nendobj\n"
      "4 0 obj\n<< /Type /Pages /Parent 2 0 R /Kids [7 0 R] /Count 1 >>\nendobj\n"
      "5 0 obj\n<< /Type /Page /Parent 3 0 R /Contents 9 0 R >>\nendobj\n"
      "6 0 obj\n<< /Type /Page /Parent 3 0 R /Contents 9 0 R /MediaBox [0 0 400 100] >>\nendobj\n"
      "7 0 obj\n<< /Type /Page /Parent 4 0 R /Contents 9 0 R >>\nendobj\n"
      "8 0 obj\n" + image + "\nendobj\n9 0 obj\n" + draw + "\nendobj\n"
      "trailer\n<< /Root 1 0 R /Size 10 >>\n%%EOF\n");  // no table: read by repair
  struct Case {
    std::string name;
    std::string make;  // shell command that writes the PDF to $OUT
    int pages;
  };
  const std::vector<Case> cases = {
      {"qpdf-flat.pdf", "qpdf --warning-exit-0 --empty --pages" + many + " -- \"$OUT\"", 20},
      {"img2pdf.pdf", "img2pdf " + ShellQuote(File("b.jpg")) + " " + ShellQuote(File("a.png")) + " -o \"$OUT\"", 2},
      {"nested-table.pdf", "qpdf --warning-exit-0 " + ShellQuote(nested) + " \"$OUT\" 2>/dev/null", 3},
      {"nested-linearized.pdf", "qpdf --warning-exit-0 --linearize " + ShellQuote(nested) + " \"$OUT\" 2>/dev/null", 3},
      {"nested-streams.pdf", "qpdf --warning-exit-0 --object-streams=generate " + ShellQuote(nested) + " \"$OUT\" 2>/dev/null", 3},
  };
  for (const Case& c : cases) {
    const std::string pdf = File(c.name);
    ASSERT_EQ(RunCommand("OUT=" + ShellQuote(pdf) + "; " + c.make).exitCode, 0) << c.name;
    const std::string before = Looks(pdf, c.pages);
    ASSERT_NE(before.find("Page    1 size"), std::string::npos) << c.name << before;
    // Enough pages to fill a node and grow the tree by a level.
    for (int i = 0; i < 20; ++i) ASSERT_EQ(Convert(File(i % 2 ? "a.png" : "b.jpg"), pdf, FT_AUTO, true), CR_Success);
    PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << c.name;
    EXPECT_EQ(report.pages, c.pages + 20) << c.name;
    EXPECT_EQ(Looks(pdf, c.pages), before) << c.name;
    EXPECT_EQ(report.pageSizes.back(), (std::pair<double, double>{50, 40})) << c.name;
    const std::string last = std::to_string(c.pages + 20);
    EXPECT_EQ(RunCommand("pdfinfo -f " + last + " -l " + last + " " + ShellQuote(pdf) + " | grep -c 'rot:   0'").output,
              "1\n") << c.name;
    EXPECT_LE(DeepestPage(pdf), 3) << c.name;
  }
}

TEST_F(AppendingAtScale, FailedAppendThatWouldGrowTheTreeLeavesTheFileByteForByte) {
  MakeImage(File("a.png"), FIF_PNG, 50, 40);
  const std::string pdf = File("full.pdf");
  for (int i = 0; i < 16; ++i) ASSERT_EQ(Convert(File("a.png"), pdf, FT_AUTO, true), CR_Success);
  const std::string before = ReadFile(pdf);
  {
    FileSizeLimit limit(before.size() + 200);
    EXPECT_EQ(Convert(File("a.png"), pdf, FT_AUTO, true), CR_Failure_General);
  }
  EXPECT_TRUE(ReadFile(pdf) == before);
  ASSERT_EQ(Convert(File("a.png"), pdf, FT_AUTO, true), CR_Success);
  EXPECT_TRUE(InspectPdf(pdf).checkPassed);
  EXPECT_EQ(DeepestPage(pdf), 2);
}

}  // namespace
}  // namespace quirepane::test
