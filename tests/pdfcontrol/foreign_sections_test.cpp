// Appends to files in forms other programs write: hybrid sections whose
// newest catalog only a /XRefStm lists, a trailer /Size below the objects
// held, linearized files, a reference with a NUL for its blank. The old
// bytes stay, every old object reads as before and the new page comes last,
// on the direct road and on qpdf's.
#include <gtest/gtest.h>

#include <cstring>

#include "convert_fixture.h"
#include "pdfcontrol/version.h"

namespace quirepane::test {
namespace {

using namespace tessa::test;

size_t At(const std::string& pdf, int n) { return pdf.rfind("\n" + std::to_string(n) + " 0 obj") + 1; }
std::string Prev(const std::string& pdf) { return " /Prev " + std::to_string(std::stoull(pdf.substr(pdf.rfind("startxref") + 9))); }
std::string Obj(int n, const std::string& dict, const char* data = nullptr) {
  if (data) return Obj(n, "<< " + dict + " /Length " + std::to_string(strlen(data)) + " >>\nstream\n" + data + "\nendstream");
  return std::to_string(n) + " 0 obj\n" + dict + "\nendobj\n";
}
std::string Info() { return Obj(7, "<< /Producer (" + ProducerText() + ") >>"); }

// A classic section listing numbers where they stand (0 and negative ones free).
void AddTable(std::string& pdf, const std::vector<int>& numbers, const std::string& keys) {
  std::string text = "xref\n";
  for (int n : numbers) {
    char entry[48];
    std::snprintf(entry, sizeof entry, "%d 1\n%010zu %s \n", std::abs(n), n > 0 ? At(pdf, n) : 0,
                  n > 0 ? "00000 n" : "65535 f");
    text += entry;
  }
  pdf += text + "trailer\n<< " + keys + " >>\nstartxref\n" + std::to_string(pdf.size()) + "\n%%EOF\n";
}

// Cross-reference stream n listing numbers where they stand, object 1 in
// object stream 10 when packed; returns where it starts.
size_t AddXrefStream(std::string& pdf, int n, const std::vector<int>& numbers, const std::string& keys, bool packed,
                     bool last) {
  const size_t start = pdf.size();
  std::string index, data;
  for (int k : numbers) {
    const size_t v = packed && k == 1 ? 10 : k == n ? start : At(pdf, k);
    index += " " + std::to_string(k) + " 1";
    data += std::string{char(packed && k == 1 ? 2 : 1), char(v >> 24), char(v >> 16), char(v >> 8), char(v), 0, 0};
  }
  pdf += Obj(n, "<< /Type /XRef /W [1 4 2] /Index [" + index + "] /Length 0" + keys + " >>\nstream\n" + data + "\nendstream");
  pdf.replace(pdf.find("/Length 0", start), 9, "/Length " + std::to_string(data.size()));
  if (last) pdf += "startxref\n" + std::to_string(start) + "\n%%EOF\n";
  return start;
}

// Two pages; page 1 (object 3) draws image 9 through content 8.
std::string TwoPages(bool catalog) {
  const std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 90 90] /Resources << /XObject << /Im1 ";
  const std::string image = "/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8";
  return "%PDF-1.5\n" + (catalog ? Obj(1, "<< /Type /Catalog /Pages 2 0 R >>") : "") +
         Obj(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>") + Obj(3, page + "9 0 R >> >> /Contents 8 0 R >>") +
         Obj(4, page + "6 0 R >> >> /Contents 5 0 R >>") + Obj(5, "", "q 90 0 0 90 0 0 cm /Im1 Do Q") +
         Obj(6, image, "\x10\xf0") + Info() + Obj(8, "", "q 45 0 0 45 0 0 cm /Im1 Do Q") + Obj(9, image, "\xf0\x10");
}

class ForeignSections : public ConvertFixture {};

TEST_F(ForeignSections, OldObjectsReadAsBeforeAndNewOnesTakeNewNumbers) {
  const std::string keys = " /Root 1 0 R /Info 7 0 R";
  const std::string packed = Obj(10, "/Type /ObjStm /N 1 /First 4", "1 0 << /Type /Catalog /Pages 2 0 R /PageMode "
                                     "/FullScreen /PageLabels << /Nums [0 << /S /r >>] >> >>");
  std::string table = TwoPages(true), stream = TwoPages(true);
  AddTable(table, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "/Size 10" + keys);
  AddXrefStream(stream, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "/Size 11" + keys, false, true);
  std::map<std::string, std::string> files = {{"size-table.pdf", table + Info()}, {"size-stream.pdf", stream + Info()},
                                              {"hybrid-update.pdf", table + packed},
                                              {"hybrid-single.pdf", TwoPages(false) + packed}};
  // Updates whose /Size falls below objects 8 and 9 (the stream's lists not itself).
  AddTable(files["size-table.pdf"], {7}, "/Size 8" + keys + Prev(table));
  AddXrefStream(files["size-stream.pdf"], 11, {7}, " /Size 8" + keys + Prev(stream), false, true);
  const size_t update = AddXrefStream(files["hybrid-update.pdf"], 11, {1, 10, 11}, " /Size 12", true, false);
  AddTable(files["hybrid-update.pdf"], {10}, "/Size 12" + keys + Prev(table) + " /XRefStm " + std::to_string(update));
  const size_t single = AddXrefStream(files["hybrid-single.pdf"], 11, {1, 10, 11}, " /Size 12", true, false);
  AddTable(files["hybrid-single.pdf"], {0, -1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
           "/Size 12" + keys + " /XRefStm " + std::to_string(single));
  // Linearized: img2pdf's own output, and qpdf's with object streams.
  MakeImage(File("a.jpg"), FIF_JPEG, 60, 30);
  const std::string made = File("img2pdf-linearized.pdf"), streams = File("qpdf-linearized.pdf");
  ASSERT_EQ(RunCommand("img2pdf " + ShellQuote(File("a.jpg")) + " " + ShellQuote(File("a.jpg")) + " -o " +
                       ShellQuote(made) + " && qpdf --linearize --object-streams=generate " + ShellQuote(made) + " " +
                       ShellQuote(streams)).exitCode, 0);
  files["img2pdf-linearized.pdf"] = ReadFile(made);
  files["qpdf-linearized.pdf"] = ReadFile(streams);

  MakeImage(File("rgb.png"), FIF_PNG, 50, 40);
  MakeImage(File("palette.png"), FIF_PNG, 50, 40, Pixels::Palette8);  // never the direct road
  for (const auto& [name, bytes] : files) {
    // Other programs number their objects as they like: there the old bytes speak.
    const std::string show = name.find("linearized") != std::string::npos ? "true" :
        "for n in 1 3 4 5 6 7 8 9; do qpdf --show-object=$n $F; qpdf --show-object=$n --raw-stream-data $F; done 2>/dev/null";
    const std::string before = RunCommand("F=" + ShellQuote(WriteFile(File(name), bytes)) + "; " + show).output;
    EXPECT_EQ(before.find("/FullScreen") != std::string::npos, name.rfind("hybrid", 0) == 0) << name << before;
    for (const char* image : {"rgb.png", "palette.png"}) {
      const std::string pdf = WriteFile(File(std::string(image) + name), bytes);
      ASSERT_EQ(Convert(File(image), pdf, FT_AUTO, true), CR_Success) << name << image;
      EXPECT_EQ(RunCommand("F=" + ShellQuote(pdf) + "; " + show).output, before) << name << image;
      const PdfReport report = InspectPdf(pdf);
      EXPECT_TRUE(report.checkPassed && report.pages == 3 && ReadFile(pdf).rfind(bytes, 0) == 0) << name << image;
      EXPECT_EQ(report.pageSizes.back(), (std::pair<double, double>{50, 40})) << name << image;
    }
  }

  // A reference with a NUL for its blank (PDF white space) keeps its object
  // when a 16-bit page raises the catalog's /Version and writes it again.
  std::string nul = TwoPages(false).replace(5, 3, "1.4") + Obj(10, "<< /Type /Outlines /Count 0 >>") +
                    Obj(1, std::string("<< /Type /Catalog /Pages 2 0 R /Outlines 10") + '\0' + "0 R >>");
  AddTable(nul, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, "/Size 11" + keys);
  MakeImage(File("deep.png"), FIF_PNG, 50, 40, Pixels::Grey16);
  ASSERT_EQ(Convert(File("deep.png"), WriteFile(File("nul.pdf"), nul), FT_AUTO, true), CR_Success);
  const std::string catalog = RunCommand("qpdf --show-object=1 " + ShellQuote(File("nul.pdf"))).output;
  EXPECT_NE(catalog.find("/Outlines 10 0 R"), std::string::npos) << catalog;
  EXPECT_NE(catalog.find("/Version /1.5"), std::string::npos) << catalog;
}

}  // namespace
}  // namespace quirepane::test
