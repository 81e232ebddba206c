// New documents written without the document model, read back by qpdf and
// poppler's tools.
#include <gtest/gtest.h>

#include <string>

#include "pdfcontrol/new_document.h"
#include "pdfcontrol/pdf_writer.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::InfoField;
using tessa::test::InspectPdf;
using tessa::test::PdfReport;

// Page i is 100 + i points wide and shows a 1 x 1 grey image; every third
// page but the first shows the image of the page before it again instead of
// its own. Returns how many pages did.
int AddPages(PDFWriter& writer, int first, int count) {
  int shared = 0;
  for (int i = first; i < first + count; ++i) {
    if (i > 0) writer.AddPage();
    writer.SetPageSize(100 + i, 50);
    if (i == first || i % 3 != 2) {
      writer.LoadSamples(1, 1, 1, 8, std::string(1, char(i)));
    } else {
      ++shared;
    }
    writer.DrawImage(0, 50, 100 + i, 50);
  }
  return shared;
}

// The tree is balanced at any size, pages keep their order, an image drawn
// twice is one object, and pages added after the first save are appended to
// the file it made, old bytes untouched.
TEST(NewDocument, PagesKeepTheirOrderAndLaterPagesAreAppended) {
  for (const int pages : {1, 16, 17, 257}) {
    tessa::test::TempDir dir;
    const std::string pdf = dir.file("new.pdf");
    PDFWriter writer;
    writer.NewDocument();
    writer.SelectUnit(0);  // points
    int shared = AddPages(writer, 0, pages);
    writer.SetDocInfo(6, "Tests");
    ASSERT_EQ(writer.Save(pdf), 1) << writer.LastError();
    const std::string written = tessa::test::ReadFile(pdf);
    shared += AddPages(writer, pages, 2);
    ASSERT_EQ(writer.Save(pdf), 1) << writer.LastError();

    const PdfReport report = InspectPdf(pdf);
    ASSERT_TRUE(report.checkPassed) << pages;
    ASSERT_EQ(report.pages, pages + 2);
    for (int i = 0; i < pages + 2; ++i) EXPECT_EQ(report.pageSizes[size_t(i)].first, 100 + i) << pages << " page " << i;
    EXPECT_EQ(tessa::test::ReadFile(pdf).compare(0, written.size(), written), 0) << pages;
    const std::string twice = tessa::test::RunCommand("pdfimages -list " + tessa::test::ShellQuote(pdf) +
                                                      " | awk 'NR>2{print $11}' | sort | uniq -d | wc -l").output;
    EXPECT_EQ(std::stoi(twice), shared) << "an image drawn twice is one object";
    const std::string tree = tessa::test::RunCommand("qpdf --show-object=trailer " + tessa::test::ShellQuote(pdf)).output;
    EXPECT_NE(tree.find("/ID"), std::string::npos) << tree;
  }
}

// What the document information holds reads back as it was given, and
// 16-bit samples make the file PDF 1.5.
TEST(NewDocument, InformationAndVersionReadBackAsGiven) {
  const struct {
    std::string text, written;
  } cases[] = {{"Plain title", "(Plain title)"},
               {"a (b) \\ c", "(a \\(b\\) \\\\ c)"},
               {"Zo\xC3\xAB \xE2\x98\x83", "<feff005a006f00eb00202603>"},
               {"tab\there", "<feff00740061006200090068006500720065>"}};
  for (const auto& c : cases) {
    EXPECT_EQ(InfoString(c.text), c.written) << c.text;
    tessa::test::TempDir dir;
    const std::string pdf = dir.file("info.pdf");
    PDFWriter writer;
    writer.NewDocument();
    writer.LoadSamples(1, 1, 1, 16, std::string(2, '\x7f'));
    writer.DrawImage(0, 1, 1, 1);
    writer.SetDocInfo(2, c.text);
    ASSERT_EQ(writer.Save(pdf), 1) << writer.LastError();
    const PdfReport report = InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed);
    if (c.text.find('\t') == std::string::npos) {
      EXPECT_EQ(InfoField(report, "Title"), c.text);  // the tab is checked by its bytes only
    }
    EXPECT_EQ(InfoField(report, "PDF version"), "1.5");
  }
}

}  // namespace
}  // namespace quirepane::test
