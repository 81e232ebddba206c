// Damaged PDFs to append to and damaged images to convert: the control must
// never crash or hang, must raise Done exactly once, and must leave a
// destination it refused byte for byte as it was, with no working file.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>

#include "convert_fixture.h"
#include "support/random_cases.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

namespace fs = std::filesystem;
using tessa::test::CaseWatchdog;
using tessa::test::RandomCases;
using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

// The names in folder.
std::set<std::string> Names(const std::string& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
  return names;
}

// Pages of the PDF at path as qpdf reads it; -1 when it cannot be read.
int PageCount(const std::string& path) {
  try {
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(path.c_str());
    return static_cast<int>(QPDFPageDocumentHelper(pdf).getAllPages().size());
  } catch (const std::exception&) {
    return -1;
  }
}

class DamagedInput : public ConvertFixture {
 protected:
  // Converts source into the destination folder's file (which holds bytes
  // before, or is absent when before is nullopt) and checks the outcome.
  void Check(const std::string& what, const std::string& source, const std::optional<std::string>& before,
             long type, bool append) {
    const std::string folder = File("out");
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string target = folder + "/target.pdf";
    if (before) WriteFile(target, *before);
    watchdog_.Arm(what);
    const CR_Result result = Convert(source, target, type, append);
    ASSERT_TRUE(LeftoverWorkFiles(tmp_).empty()) << what;
    if (result == CR_Success) {
      ASSERT_EQ(Names(folder), std::set<std::string>{"target.pdf"}) << what;
      ASSERT_GE(PageCount(target), 1) << what << ": the written PDF does not read back";
      ++accepted_;
    } else {
      ASSERT_NE(result, CR_Failure_NoInput) << what;
      if (before) {
        ASSERT_EQ(Names(folder), std::set<std::string>{"target.pdf"}) << what;
        ASSERT_TRUE(ReadFile(target) == *before) << what << ": a refused destination changed";
      } else {
        ASSERT_TRUE(Names(folder).empty()) << what << ": a refused conversion left a file";
      }
      ++refused_;
    }
  }

  CaseWatchdog watchdog_;
  int accepted_ = 0;
  int refused_ = 0;
};

// A damage that PDF readers meet in practice, or a random one.
std::string DamagePdf(RandomCases& rng, std::string pdf) {
  const size_t startxref = pdf.rfind("startxref");
  const size_t trailer = pdf.rfind("trailer");
  switch (rng.Below(8)) {
    case 0:  // a wrong offset behind startxref
      if (startxref != std::string::npos) {
        const std::string offset = rng.Pick(std::vector<std::string>{
            "0", "1", "-5", "99999999999999999999999", std::to_string(pdf.size()), std::to_string(pdf.size() - 1),
            std::to_string(rng.Below(pdf.size())), ""});
        pdf.replace(startxref, std::string::npos, "startxref\n" + offset + "\n%%EOF\n");
      }
      return pdf;
    case 1:  // no trailer
      if (trailer != std::string::npos) pdf.erase(trailer, startxref == std::string::npos || startxref < trailer ? std::string::npos : startxref - trailer);
      return pdf;
    case 2:  // cut short
      pdf.resize(rng.Below(pdf.size()));
      return pdf;
    case 3: {  // a cross-reference entry pointing elsewhere
      const size_t xref = pdf.rfind("xref\n");
      if (xref != std::string::npos && xref + 40 < pdf.size()) {
        const size_t at = xref + 5 + rng.Below(std::min<size_t>(200, pdf.size() - xref - 5));
        if (pdf[at] >= '0' && pdf[at] <= '9') pdf[at] = static_cast<char>('0' + rng.Below(10));
      }
      return rng.Damage(pdf);
    }
    case 4: {  // a page tree or catalog key damaged
      for (const char* key : {"/Kids", "/Count", "/Pages", "/Root", "/Size", "/Type"}) {
        const size_t at = pdf.find(key);
        if (at != std::string::npos && rng.Chance(40)) pdf[at + 1 + rng.Below(3)] = rng.Byte();
      }
      return pdf;
    }
    case 5:  // every "obj" of one kind turned into something else
      for (size_t at = pdf.find(rng.Chance(50) ? "endobj" : "stream"); at != std::string::npos && rng.Chance(70);
           at = pdf.find("endobj", at + 1)) {
        pdf[at] = 'X';
      }
      return pdf;
    default:
      return rng.Damage(pdf);
  }
}

TEST_F(DamagedInput, AppendingToDamagedPdfs) {
  MakeImage(File("page.png"), FIF_PNG, 30, 20, Pixels::Palette8);
  MakeImage(File("page.jpg"), FIF_JPEG, 30, 20, Pixels::Rgb24, 0, JPEG_QUALITYNORMAL);
  // Seeds: one page, three pages by appending, a cross-reference stream copy.
  ASSERT_EQ(Convert(File("page.png"), File("one.pdf"), FT_AUTO, false, "Seed"), CR_Success);
  ASSERT_EQ(Convert(File("page.png"), File("three.pdf")), CR_Success);
  for (int i = 0; i < 2; ++i) ASSERT_EQ(Convert(File("page.jpg"), File("three.pdf"), FT_AUTO, true), CR_Success);
  ASSERT_EQ(RunCommand("qpdf --object-streams=generate " + ShellQuote(File("three.pdf")) + " " +
                       ShellQuote(File("streams.pdf")))
                .exitCode,
            0);
  const std::vector<std::string> seeds = {ReadFile(File("one.pdf")), ReadFile(File("three.pdf")),
                                          ReadFile(File("streams.pdf"))};
  RandomCases rng(20261208);
  for (int i = 0; i < 1500; ++i) {
    const std::string& seed = rng.Pick(seeds);
    const std::string damaged = DamagePdf(rng, seed);
    const std::string& source = File(rng.Chance(50) ? "page.png" : "page.jpg");
    Check("damaged PDF case " + std::to_string(i), source, damaged, FT_AUTO, true);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(accepted_, 0);
  EXPECT_GT(refused_, 0);
}

TEST_F(DamagedInput, ConvertingDamagedImages) {
  struct Seed {
    std::string name;
    long type;
  };
  const std::vector<Seed> seeds = {
      {MakeImage(File("s.jpg"), FIF_JPEG, 24, 16, Pixels::Rgb24, 2835, JPEG_QUALITYNORMAL), FT_JPEG},
      {MakeImage(File("p.jpg"), FIF_JPEG, 24, 16, Pixels::Grey8, 0, JPEG_PROGRESSIVE), FT_JPEG},
      {MakeImage(File("s.png"), FIF_PNG, 24, 16, Pixels::Rgba32, 3780), FT_PNG},
      {MakeImage(File("g.png"), FIF_PNG, 24, 16, Pixels::Bilevel), FT_PNG},
      {MakeImage(File("s.tif"), FIF_TIFF, 24, 16, Pixels::Rgb24, 0, TIFF_LZW), FT_TIFF},
      {MakeMultipageTiff(File("m.tif"), {{20, 10}, {10, 20}, {8, 8}}, TIFF_PACKBITS), FT_TIFF},
      {MakeImage(File("s.bmp"), FIF_BMP, 24, 16, Pixels::Palette8), FT_BMP},
      {MakeImage(File("r.bmp"), FIF_BMP, 24, 16, Pixels::Rgb24, 0, BMP_SAVE_RLE), FT_BMP},
      {MakeImage(File("s.gif"), FIF_GIF, 24, 16, Pixels::Palette8), 40},  // GIF
  };
  ASSERT_EQ(Convert(File("s.png"), File("existing.pdf")), CR_Success);
  const std::string existing = ReadFile(File("existing.pdf"));
  RandomCases rng(8122026);
  for (int i = 0; i < 800; ++i) {
    const Seed& seed = rng.Pick(seeds);
    const std::string extension = fs::path(seed.name).extension().string();
    const std::string source = WriteFile(File("src/damaged" + extension), rng.Damage(ReadFile(seed.name)));
    const long type = rng.Chance(50) ? static_cast<long>(FT_AUTO) : seed.type;
    const bool append = rng.Chance(50);
    Check("damaged image case " + std::to_string(i) + " from " + seed.name, source,
          append ? std::optional<std::string>(existing) : std::nullopt, type, append);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(accepted_, 0);
  EXPECT_GT(refused_, 0);
}

}  // namespace
}  // namespace quirepane::test

namespace quirepane::test {
namespace {

// A valid PDF written by hand whose catalog holds extra text.
std::string PdfWithCatalogExtra(const std::string& extra) {
  std::vector<std::string> bodies = {
      "<< /Type /Catalog /Pages 2 0 R " + extra + " >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 100] >>",
  };
  std::string pdf = "%PDF-1.4\n";
  std::vector<size_t> offsets;
  for (size_t i = 0; i < bodies.size(); ++i) {
    offsets.push_back(pdf.size());
    pdf += std::to_string(i + 1) + " 0 obj\n" + bodies[i] + "\nendobj\n";
  }
  const size_t xref = pdf.size();
  pdf += "xref\n0 4\n0000000000 65535 f \n";
  for (size_t offset : offsets) {
    char entry[32];
    std::snprintf(entry, sizeof entry, "%010zu 00000 n \n", offset);
    pdf += entry;
  }
  return pdf + "trailer\n<< /Size 4 /Root 1 0 R >>\nstartxref\n" + std::to_string(xref) + "\n%%EOF\n";
}

TEST_F(DamagedInput, HugeRunsInTheCatalogAreSafe) {
  MakeImage(File("page.png"), FIF_PNG, 30, 20);
  const std::vector<std::pair<std::string, std::string>> extras = {
      {"long number", "/N " + std::string(300000, '7')},
      {"long blank run", "/A [1" + std::string(300000, ' ') + "0 R]"},
      {"many references", [] {
         std::string refs = "/B [";
         for (int i = 0; i < 40000; ++i) refs += std::to_string(4 + i % 5) + " 0 R ";
         return refs + "]";
       }()},
  };
  for (const auto& [what, extra] : extras) {
    Check(what, File("page.png"), PdfWithCatalogExtra(extra), FT_AUTO, true);
    if (HasFatalFailure()) return;
  }
}

TEST_F(DamagedInput, OutlandishCrossReferenceNumbersAreSafe) {
  MakeImage(File("page.png"), FIF_PNG, 30, 20);
  const std::string pdf = PdfWithCatalogExtra("");
  const size_t trailer = pdf.find("trailer");
  const std::vector<std::pair<std::string, std::string>> sections = {
      {"numbers past the largest", "2147483647 2\n0000000009 00000 n \n0000000009 00000 n \n"},
      {"negative first number", "-2147483648 1\n0000000009 00000 n \n"},
      {"count past the table", "5 999999999\n0000000009 00000 n \n"},
      {"offset past the file", "5 1\n99999999999999999999 00000 n \n"},
      {"generation past the largest", "5 1\n0000000009 99999999999 n \n"},
  };
  // The declared size past the largest object number, too.
  Check("size past the largest", File("page.png"),
        pdf.substr(0, pdf.find("/Size 4")) + "/Size 2147483648" + pdf.substr(pdf.find("/Size 4") + 7), FT_AUTO, true);
  for (const auto& [what, section] : sections) {
    std::string damaged = pdf;
    damaged.insert(trailer, section);
    Check(what, File("page.png"), damaged, FT_AUTO, true);
    if (HasFatalFailure()) return;
  }
}

}  // namespace
}  // namespace quirepane::test
