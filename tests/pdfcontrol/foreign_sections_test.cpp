// Appends to files in forms other programs write: hybrid sections whose
// newest objects only a /XRefStm lists, a trailer /Size below the objects
// held, linearized files. The old bytes stay, every old object reads as
// before, and the new page comes last, on the direct road and on qpdf's.
#include <gtest/gtest.h>

#include <map>

#include "convert_fixture.h"
#include "pdfcontrol/version.h"

namespace quirepane::test {
namespace {

using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// A PDF written by hand: objects, then sections listing them.
struct HandPdf {
  std::string bytes = "%PDF-1.5\n";
  std::map<int, size_t> at;
  void Add(int n, const std::string& body) {
    at[n] = bytes.size();
    bytes += std::to_string(n) + " 0 obj\n" + body + "\nendobj\n";
  }
  void Stream(int n, const std::string& dict, const std::string& data) {
    Add(n, "<< " + dict + " /Length " + std::to_string(data.size()) + " >>\nstream\n" + data + "\nendstream");
  }
  // A table listing numbers (0 free, a negative number free), then keys.
  size_t Table(const std::vector<int>& numbers, const std::string& keys) {
    const size_t start = bytes.size();
    bytes += "xref\n";
    for (int n : numbers) {
      char entry[48];
      std::snprintf(entry, sizeof entry, "%d 1\n%010zu %s \n", std::abs(n), n > 0 ? at[n] : 0,
                    n > 0 ? "00000 n" : "65535 f");
      bytes += entry;
    }
    bytes += "trailer\n<< " + keys + " >>\nstartxref\n" + std::to_string(start) + "\n%%EOF\n";
    return start;
  }
  // Cross-reference stream n listing numbers where they stand (those in
  // packed at index 0 of object stream packed[n]), then keys.
  size_t XrefStream(int n, std::vector<int> numbers, const std::map<int, int>& packed, const std::string& keys,
                    bool last) {
    at[n] = bytes.size();
    std::string index, data;
    for (int k : numbers) {
      const bool in = packed.count(k);
      const size_t v = in ? static_cast<size_t>(packed.at(k)) : at[k];
      index += " " + std::to_string(k) + " 1";
      data += std::string{char(in ? 2 : 1), char(v >> 24), char(v >> 16), char(v >> 8), char(v), 0, 0};
    }
    Stream(n, "/Type /XRef /W [1 4 2] /Index [" + index + "] " + keys, data);
    if (last) bytes += "startxref\n" + std::to_string(at[n]) + "\n%%EOF\n";
    return at[n];
  }
};

// Two pages: page 1 (object 3) draws image 9 through content 8.
HandPdf TwoPages(bool catalog = true) {
  HandPdf pdf;
  if (catalog) pdf.Add(1, "<< /Type /Catalog /Pages 2 0 R >>");
  pdf.Add(2, "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>");
  const std::string page = "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 90 90] /Resources << /XObject << /Im1 ";
  pdf.Add(3, page + "9 0 R >> >> /Contents 8 0 R >>");
  pdf.Add(4, page + "6 0 R >> >> /Contents 5 0 R >>");
  const std::string image = "/Type /XObject /Subtype /Image /Width 2 /Height 1 /ColorSpace /DeviceGray /BitsPerComponent 8";
  pdf.Stream(5, "", "q 90 0 0 90 0 0 cm /Im1 Do Q");
  pdf.Stream(6, image, "\x10\xf0");
  pdf.Add(7, "<< /Producer (" + ProducerText() + ") >>");
  pdf.Stream(8, "", "q 45 0 0 45 0 0 cm /Im1 Do Q");
  pdf.Stream(9, image, "\xf0\x10");
  return pdf;
}

const char* const kNewCatalog = "1 0 << /Type /Catalog /Pages 2 0 R /PageMode /FullScreen /PageLabels << /Nums [0 << /S /r >>] >> >>";

class ForeignSections : public ConvertFixture {};

TEST_F(ForeignSections, OldObjectsReadAsBeforeAndNewOnesTakeNewNumbers) {
  const std::string keys = "/Root 1 0 R /Info 7 0 R";
  std::map<std::string, std::string> files;
  HandPdf size = TwoPages();  // an update whose /Size is below objects 8 and 9
  size_t base = size.Table({-0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "/Size 10 " + keys);
  size.Add(7, "<< /Producer (" + ProducerText() + ") >>");
  size.Table({7}, "/Size 8 /Prev " + std::to_string(base) + " " + keys);
  files["size-table.pdf"] = size.bytes;
  HandPdf stream = TwoPages();
  base = stream.XrefStream(10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {}, "/Size 11 " + keys, true);
  stream.Add(7, "<< /Producer (" + ProducerText() + ") >>");
  stream.XrefStream(11, {7}, {}, "/Size 8 /Prev " + std::to_string(base) + " " + keys, true);
  files["size-stream.pdf"] = stream.bytes;
  // A new catalog in an object stream that only the /XRefStm lists: in an
  // update over a classic table, and in a file's only section.
  for (const bool update : {true, false}) {
    HandPdf hybrid = TwoPages(update);
    base = update ? hybrid.Table({-0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, "/Size 10 " + keys) : 0;
    const std::string packed = std::string(kNewCatalog).substr(4);
    hybrid.Stream(10, "/Type /ObjStm /N 1 /First 4", "1 0 " + packed);
    const size_t xrefStm = hybrid.XrefStream(11, {1, 10, 11}, {{1, 10}}, "/Size 12", false);
    const std::string prev = update ? " /Prev " + std::to_string(base) : "";
    hybrid.Table(update ? std::vector<int>{10} : std::vector<int>{-0, -1, 2, 3, 4, 5, 6, 7, 8, 9, 10},
                 "/Size 12 " + keys + prev + " /XRefStm " + std::to_string(xrefStm));
    files[update ? "hybrid-update.pdf" : "hybrid-single.pdf"] = hybrid.bytes;
  }
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
  const std::string show = "for n in 1 3 4 5 6 7 8 9; do qpdf --show-object=$n $F; qpdf --show-object=$n "
                           "--raw-stream-data $F; done 2>/dev/null";
  for (const auto& [name, bytes] : files) {
    // Other programs number their objects as they like: there the old bytes speak.
    const std::string numbered = name.find("linearized") == std::string::npos ? show : "true";
    const std::string before = RunCommand("F=" + ShellQuote(WriteFile(File(name), bytes)) + "; " + numbered).output;
    EXPECT_EQ(before.find("/FullScreen") != std::string::npos, name.rfind("hybrid", 0) == 0) << name;
    for (const char* image : {"rgb.png", "palette.png"}) {
      const std::string pdf = WriteFile(File(std::string(image) + name), bytes);
      ASSERT_EQ(Convert(File(image), pdf, FT_AUTO, true), CR_Success) << name << image;
      EXPECT_EQ(RunCommand("F=" + ShellQuote(pdf) + "; " + numbered).output, before) << name << image;
      const PdfReport report = InspectPdf(pdf);
      EXPECT_TRUE(report.checkPassed && report.pages == 3 && ReadFile(pdf).rfind(bytes, 0) == 0) << name << image;
      EXPECT_EQ(report.pageSizes.back(), (std::pair<double, double>{50, 40})) << name << image;
    }
  }
}

}  // namespace
}  // namespace quirepane::test
