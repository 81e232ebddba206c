#include "engine/run/conversion_driver.h"

#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <gtest/gtest.h>

#include <FreeImage.h>

#include <filesystem>
#include <fstream>

#include "engine/task/caret_records.h"
#include "engine/run/output_snapshot.h"
#include "engine/image_fixtures.h"
#include "platform/output_lock.h"
#include "platform/text_file.h"
#include "support/file_size_limit.h"
#include "support/forked_children.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;

std::string Options(int32_t compression, const std::string& pages, bool append = false) {
  return BuildAdvancedOptions(append, "Author", "Creator", "Keys", "Subject", "Title", compression, pages);
}

clsConversionOptions Item(const std::string& input, int32_t type, const std::string& output,
                          const std::string& extra = Options(2, "*")) {
  clsConversionOptions co;
  co.sOriginalFile = input;
  co.lOriginalFileType = type;
  co.sTargetFile = output;
  co.sExtraParams = extra;
  return co;
}

// A grey TIFF of 8-bit pages, width by height, written as some writers do:
// without the SamplesPerPixel tag (one sample is the default). Pixel (x, y)
// of page p is (4x + y + p) & 255.
void WriteGreyTiffWithoutSampleCount(const std::string& path, int pages, int width, int height) {
  std::string bytes("II*\0\0\0\0\0", 8);
  auto put = [&bytes](size_t at, uint32_t v, int n) {
    for (int i = 0; i < n; ++i) bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
  };
  size_t link = 4;  // where the offset of the next directory goes
  for (int p = 0; p < pages; ++p) {
    const uint32_t strip = static_cast<uint32_t>(bytes.size());
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) bytes += static_cast<char>((4 * x + y + p) & 0xFF);
    if (bytes.size() % 2) bytes += '\0';
    const uint32_t ifd = static_cast<uint32_t>(bytes.size());
    put(link, ifd, 4);
    const uint32_t tags[][3] = {{256, 3, uint32_t(width)}, {257, 3, uint32_t(height)}, {258, 3, 8}, {259, 3, 1},
                                {262, 3, 1}, {273, 4, strip}, {278, 3, uint32_t(height)},
                                {279, 4, uint32_t(width * height)}};
    bytes.resize(ifd + 2 + 8 * 12 + 4, '\0');
    put(ifd, 8, 2);
    for (int t = 0; t < 8; ++t) {
      const size_t e = ifd + 2 + 12 * t;
      put(e, tags[t][0], 2);
      put(e + 2, tags[t][1], 2);
      put(e + 4, 1, 4);
      put(e + 8, tags[t][2], tags[t][1] == 3 ? 2 : 4);
    }
    link = ifd + 2 + 8 * 12;
  }
  test::WriteFile(path, bytes);
}

bool HasTempFrame(const std::string& folder) {
  for (const auto& name : test::FolderEntries(folder))
    if (name.find("-ZOL_TEMP_FILE-") != std::string::npos) return true;
  return false;
}

class ConversionDriver : public ::testing::Test {
 protected:
  TempDir dir;
  test::RecordingUserInterface ui;
  MainForm frm;
  std::string in() const { return dir.file("in"); }
  std::string out() const { return dir.file("out"); }

  // Writes in/three.tif (pages 101, 102, 103 pixels wide) and in/first.png
  // (77 wide); returns the TIFF's path.
  std::string WriteThreePagesAndAFirst() {
    test::WriteTiffPages(in() + "/three.tif", {101, 102, 103});
    test::WriteImage(in() + "/first.png", 77);
    return in() + "/three.tif";
  }

  // Removes the second cut-out frame of three.tif once frame 1 has gone into
  // pdf: in the first pass only, or in every pass.
  void LoseTheSecondFrame(const std::string& pdf, bool everyPass) {
    ui.onPanel = [this, pdf, everyPass, passes = 0](int panel, const std::string& text) mutable {
      if (panel == 8 && text == pdf + " [1]" && (everyPass || ++passes == 1))
        std::filesystem::remove(in() + "/three-ZOL_TEMP_FILE-2.tif");
    };
  }

  // Appends three.tif to pdf while the first pass loses a frame; the retry
  // must leave the first page and the three pages, once each.
  void AppendWithARetry(const std::string& tif, const std::string& pdf) {
    LoseTheSecondFrame(pdf, false);
    clsConversionOptions co = Item(tif, 18, pdf, Options(2, "*", true));
    EXPECT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
    EXPECT_EQ(test::PdfImageWidths(pdf), (std::vector<int>{77, 101, 102, 103}));
    EXPECT_TRUE(test::PdfIsSound(pdf));
  }
};

TEST_F(ConversionDriver, OnePageTiffGoesWholeWithoutCompressionAndIsCutOtherwise) {
  const std::string tif = in() + "/fax.tif";
  test::WriteTiffPages(tif, {120});

  clsConversionOptions whole = Item(tif, 18, out() + "/whole.pdf", Options(0, "*"));
  EXPECT_EQ(PerformConversionItem(frm, whole), 0) << whole.sErr;
  for (const auto& [panel, text] : ui.history) EXPECT_NE(text, tif + " [1]");

  bool sawFrame = false;
  ui.onPanel = [&](int panel, const std::string& text) {
    if (panel == 8 && text == tif + " [1]") sawFrame = std::filesystem::exists(in() + "/fax-ZOL_TEMP_FILE-1.tif");
  };
  clsConversionOptions cut = Item(tif, 18, out() + "/cut.pdf", Options(2, "*"));
  EXPECT_EQ(PerformConversionItem(frm, cut), 0) << cut.sErr;
  EXPECT_TRUE(sawFrame);
  EXPECT_FALSE(HasTempFrame(in()));
  EXPECT_EQ(test::PdfImageWidths(out() + "/cut.pdf"), std::vector<int>{120});
  EXPECT_TRUE(test::PdfIsSound(out() + "/cut.pdf"));
  EXPECT_EQ(cut.lErr, 0);
  EXPECT_EQ(cut.sErr, "PDF was successfully created. Input File: " + tif + " [1]");
  EXPECT_EQ(cut.sOriginalFile, tif);
  EXPECT_EQ(cut.lOriginalFileType, 18);
}

TEST_F(ConversionDriver, AllPagesWithoutCompressionGoWholeAndGiveWhatFramesGave) {
  const std::string tif = in() + "/three.tif";
  test::WriteTiffPages(tif, {101, 102, 103});
  struct Case {
    std::string extra;
    bool whole;
  } cases[] = {{Options(0, "*"), true}, {Options(0, " "), true}, {Options(0, "1-3"), false}, {Options(1, "*"), false}};
  std::vector<test::PdfReport> reports;
  for (const Case& c : cases) {
    const std::string pdf = out() + "/three" + std::to_string(reports.size()) + ".pdf";
    bool sawFrame = false;
    ui.onPanel = [&](int, const std::string&) { sawFrame = sawFrame || HasTempFrame(in()); };
    clsConversionOptions co = Item(tif, 18, pdf, c.extra);
    EXPECT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
    EXPECT_EQ(sawFrame, !c.whole) << c.extra;
    EXPECT_FALSE(HasTempFrame(in()));
    EXPECT_EQ(co.sErr, "PDF was successfully created. Input File: " + tif + " [3]");
    EXPECT_EQ(ui.history.back(), std::make_pair(8, pdf + " [3]"));
    reports.push_back(test::InspectPdf(pdf));
    EXPECT_TRUE(reports.back().checkPassed);
    EXPECT_EQ(test::PdfImageWidths(pdf), (std::vector<int>{101, 102, 103}));
    ASSERT_EQ(reports.back().images.size(), 3u);
    for (size_t k = 0; k < 3; ++k) {
      EXPECT_EQ(reports.back().pageSizes[k], reports[0].pageSizes[k]) << c.extra;
      EXPECT_EQ(reports.back().images[k].color, reports[0].images[k].color) << c.extra;
      EXPECT_EQ(reports.back().images[k].bpc, reports[0].images[k].bpc) << c.extra;
    }
  }
}

// A grey page without a sample count (or a resolution) is grey, opaque and
// a point a pixel on every road: one page, a whole file, frames.
TEST_F(ConversionDriver, GreyTiffPagesWithoutASampleCountKeepTheirPixels) {
  const struct {
    int pages;
    std::string list;
    int32_t compression;
  } cases[] = {{1, "*", 0}, {2, "*", 0}, {2, "1-2", 0}, {2, "*", 1}};
  for (const auto& c : cases) {
    const std::string name = std::to_string(c.pages) + (c.list == "*" ? "all" : "listed") + std::to_string(c.compression);
    const std::string tif = in() + "/" + name + ".tif", pdf = out() + "/" + name + ".pdf";
    WriteGreyTiffWithoutSampleCount(tif, c.pages, 40, 30);
    clsConversionOptions co = Item(tif, 18, pdf, Options(c.compression, c.list));
    ASSERT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
    EXPECT_EQ(test::InspectPdf(pdf).pageSizes, (std::vector<std::pair<double, double>>(c.pages, {40, 30}))) << name;
    ASSERT_EQ(test::RunCommand("pdfimages -png " + test::ShellQuote(pdf) + " " + test::ShellQuote(out() + "/" + name)).exitCode, 0);
    for (int p = 0; p < c.pages; ++p) {
      char png[16];
      std::snprintf(png, sizeof png, "-%03d.png", p);
      FIBITMAP* dib = FreeImage_Load(FIF_PNG, (out() + "/" + name + png).c_str(), 0);
      ASSERT_NE(dib, nullptr) << name;
      EXPECT_EQ(FreeImage_GetBPP(dib), 8u) << name << " page " << p + 1 << " is no longer grey";
      int wrong = 0;
      for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) wrong += FreeImage_GetScanLine(dib, 29 - y)[x] != ((4 * x + y + p) & 0xFF);
      EXPECT_EQ(wrong, 0) << name << " page " << p + 1;
      FreeImage_Unload(dib);
    }
  }
}

// A file over 128 MB still goes whole: one conversion, no frames beside it.
TEST_F(ConversionDriver, ALargeTiffGoesWholeWithoutFrames) {
  const std::string tif = in() + "/large.tif", pdf = out() + "/large.pdf";
  WriteGreyTiffWithoutSampleCount(tif, 2, 8200, 8200);
  ASSERT_GT(std::filesystem::file_size(tif), uintmax_t(128) << 20);
  bool sawFrame = false;
  ui.onPanel = [&](int, const std::string&) { sawFrame = sawFrame || HasTempFrame(in()); };
  clsConversionOptions co = Item(tif, 18, pdf, Options(0, "*"));
  ASSERT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
  EXPECT_FALSE(sawFrame);
  EXPECT_EQ(test::PdfImageWidths(pdf), (std::vector<int>{8200, 8200}));
  EXPECT_TRUE(test::PdfIsSound(pdf));
}

// Bytes this process has read through read() and its kin so far.
uint64_t BytesRead() {
  std::ifstream io("/proc/self/io");
  std::string key;
  uint64_t value = 0;
  while (io >> key >> value)
    if (key == "rchar:") return value;
  return 0;
}

// A TIFF's bytes are read about once, whole or cut into frames (which are
// written and read back once): not once more for every page.
TEST_F(ConversionDriver, TiffPagesAreReadOnceWholeOrCutIntoFrames) {
  const std::string tif = in() + "/long.tif";
  WriteGreyTiffWithoutSampleCount(tif, 12, 400, 300);
  const uint64_t size = std::filesystem::file_size(tif);
  for (const std::string list : {"*", "1-12"}) {
    const uint64_t before = BytesRead();
    clsConversionOptions co = Item(tif, 18, out() + "/long" + std::to_string(list.size()) + ".pdf", Options(0, list));
    ASSERT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
    EXPECT_LE(BytesRead() - before, 2 * size) << list;
  }
}

TEST_F(ConversionDriver, AFailedWholePassEndsAsTheFramesWouldAndLeavesTheOutput) {
  const std::string tif = in() + "/three.tif";
  test::WriteTiffPages(tif, {101, 102, 103});
  const std::string pdf = test::WriteFile(out() + "/damaged.pdf", "%PDF-1.4\nnot a PDF body at all\n");
  std::vector<std::pair<int32_t, std::string>> results;
  for (const std::string& pages : {std::string("*"), std::string("1-3")}) {
    clsConversionOptions co = Item(tif, 18, pdf, Options(0, pages, true));
    results.push_back({PerformConversionItem(frm, co), co.sErr});
    EXPECT_EQ(test::ReadFile(pdf), "%PDF-1.4\nnot a PDF body at all\n") << pages;
    EXPECT_FALSE(HasTempFrame(in()));
  }
  EXPECT_NE(results[0].first, 0);
  EXPECT_EQ(results[0], results[1]);
}

TEST_F(ConversionDriver, PageListPicksFramesInOrderAndBadPagesGiveMinus110) {
  const std::string tif = in() + "/ten.tif";
  test::WriteTiffPages(tif, {101, 102, 103, 104, 105, 106, 107, 108, 109, 110});

  clsConversionOptions some = Item(tif, 18, out() + "/some.pdf", Options(1, "2,5-6"));
  EXPECT_EQ(PerformConversionItem(frm, some), 0) << some.sErr;
  EXPECT_EQ(test::PdfImageWidths(out() + "/some.pdf"), (std::vector<int>{102, 105, 106}));
  EXPECT_TRUE(test::PdfIsSound(out() + "/some.pdf"));
  const std::string info = test::PdfInfo(out() + "/some.pdf");
  EXPECT_EQ(test::InfoField(info, "Pages"), "3") << info;
  EXPECT_EQ(test::InfoField(info, "Title"), "Title") << info;
  EXPECT_EQ(test::InfoField(info, "Author"), "Author") << info;

  clsConversionOptions capped = Item(tif, 18, out() + "/capped.pdf", Options(0, "9-2000000000"));
  EXPECT_EQ(PerformConversionItem(frm, capped), 0) << capped.sErr;
  EXPECT_EQ(test::PdfImageWidths(out() + "/capped.pdf"), (std::vector<int>{109, 110}));

  for (const std::string& pages : {std::string("12"), std::string("0"), std::string("5-"), std::string("3,12")}) {
    clsConversionOptions bad = Item(tif, 18, out() + "/bad.pdf", Options(2, pages));
    EXPECT_EQ(PerformConversionItem(frm, bad), -110) << pages;
    EXPECT_EQ(bad.lErr, -110);
    const std::string k = pages == "3,12" ? "1" : "0";
    EXPECT_EQ(bad.sErr, "Unable to load frame " + k + ". Check Options Button") << pages;
    EXPECT_FALSE(std::filesystem::exists(out() + "/bad.pdf"));
    EXPECT_FALSE(HasTempFrame(in()));
  }

  // A one-page TIFF taken whole still refuses a page it does not have.
  test::WriteTiffPages(in() + "/one.tif", {50});
  clsConversionOptions one = Item(in() + "/one.tif", 18, out() + "/one.pdf", Options(0, "5"));
  EXPECT_EQ(PerformConversionItem(frm, one), -110);
}

TEST_F(ConversionDriver, UserFilesUnderTheFrameNameAreLeftAloneAndFramesGoElsewhere) {
  const std::string tif = in() + "/scan.tif";
  test::WriteTiffPages(tif, {101, 102});
  const std::string mine = test::WriteFile(in() + "/scan-ZOL_TEMP_FILE-2.tif", "the user's own file");

  clsConversionOptions co = Item(tif, 18, out() + "/scan.pdf", Options(2, "*"));
  EXPECT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
  EXPECT_EQ(test::PdfImageWidths(out() + "/scan.pdf"), (std::vector<int>{101, 102}));
  EXPECT_EQ(test::ReadFile(mine), "the user's own file");
  EXPECT_EQ(test::FolderEntries(in()), (std::vector<std::string>{"scan-ZOL_TEMP_FILE-2.tif", "scan.tif"}));
}

TEST_F(ConversionDriver, AReadOnlyInputFolderStillGetsItsFramesCut) {
  const std::string tif = in() + "/ro.tif";
  test::WriteTiffPages(tif, {101, 102});
  std::filesystem::permissions(in(), std::filesystem::perms::owner_write, std::filesystem::perm_options::remove);
  clsConversionOptions co = Item(tif, 18, out() + "/ro.pdf", Options(2, "*"));
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] { return PerformConversionItem(frm, co) == 0 ? 0 : 1; }), 0);
  std::filesystem::permissions(in(), std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
  EXPECT_EQ(test::PdfImageWidths(out() + "/ro.pdf"), (std::vector<int>{101, 102}));
  EXPECT_EQ(test::FolderEntries(in()), std::vector<std::string>{"ro.tif"});
}

TEST_F(ConversionDriver, AFailedPassIsUndoneBeforeTheRetrySoNoPageIsAddedTwice) {
  const std::string tif = WriteThreePagesAndAFirst();
  const std::string pdf = out() + "/three.pdf";
  clsConversionOptions first = Item(in() + "/first.png", 13, pdf, Options(2, "*", true));
  ASSERT_EQ(PerformConversionItem(frm, first), 0) << first.sErr;
  const std::string before = test::ReadFile(pdf);

  // The first pass loses its second frame after converting the first one.
  AppendWithARetry(tif, pdf);
  EXPECT_EQ(test::ReadFile(pdf).substr(0, before.size()), before);

  // Failing in both passes leaves the output as it was, and the text names
  // the input and its page rather than a temporary file.
  LoseTheSecondFrame(pdf, true);
  const std::string grown = test::ReadFile(pdf);
  clsConversionOptions fails = Item(tif, 18, pdf, Options(2, "*", true));
  EXPECT_EQ(PerformConversionItem(frm, fails), -2);
  EXPECT_EQ(test::ReadFile(pdf), grown);
  EXPECT_EQ(fails.sErr,
            "PDF was not created - No source specified or the source file was missing. Input File: " + tif + " [2]");
  EXPECT_FALSE(HasTempFrame(in()));
}

TEST_F(ConversionDriver, AFailedPassIsUndoneAlsoWhenTheOutputWasRewrittenWhole) {
  // A PDF with bytes before its header (as mail programs save one) is
  // rewritten whole by the first append, not appended to.
  const std::string tif = WriteThreePagesAndAFirst();
  const std::string pdf = out() + "/three.pdf";
  clsConversionOptions first = Item(in() + "/first.png", 13, out() + "/plain.pdf");
  ASSERT_EQ(PerformConversionItem(frm, first), 0) << first.sErr;
  const std::string mailed = "Content-Type: application/pdf\r\n\r\n";
  test::WriteFile(pdf, mailed + test::ReadFile(out() + "/plain.pdf"));
  std::filesystem::remove(out() + "/plain.pdf");
  const std::string before = test::ReadFile(pdf);

  AppendWithARetry(tif, pdf);

  // Failing in both passes puts the very same file back.
  const std::string again = mailed + test::ReadFile(pdf);
  test::WriteFile(pdf, again);
  LoseTheSecondFrame(pdf, true);
  clsConversionOptions fails = Item(tif, 18, pdf, Options(2, "*", true));
  EXPECT_EQ(PerformConversionItem(frm, fails), -2);
  EXPECT_EQ(test::ReadFile(pdf), again);
  EXPECT_EQ(test::FolderEntries(out()), std::vector<std::string>{"three.pdf"});
  EXPECT_FALSE(HasTempFrame(in()));
}

TEST_F(ConversionDriver, ErrorCodesOfMissingInputUnwritableOutputAndWrongType) {
  clsConversionOptions missing = Item(in() + "/none.jpg", 2, out() + "/none.pdf");
  std::filesystem::create_directories(in());
  EXPECT_EQ(PerformConversionItem(frm, missing), -2);
  EXPECT_EQ(missing.sErr, "PDF was not created - No source specified or the source file was missing. Input File: " +
                              in() + "/none.jpg");

  test::WriteImage(in() + "/a.png", 40);
  test::WriteFile(dir.file("plain.txt"), "x");
  clsConversionOptions blocked = Item(in() + "/a.png", 13, dir.file("plain.txt") + "/sub/a.pdf");
  EXPECT_EQ(PerformConversionItem(frm, blocked), -100);
  EXPECT_EQ(blocked.sErr, "Output folder does not exist");

  // A PNG declared as JPEG recovers through detection.
  test::WriteImage(in() + "/photo.jpg.png", 60);
  std::filesystem::rename(in() + "/photo.jpg.png", in() + "/photo.jpg");
  clsConversionOptions declared = Item(in() + "/photo.jpg", 2, out() + "/photo.pdf");
  EXPECT_EQ(PerformConversionItem(frm, declared), 0) << declared.sErr;
  EXPECT_EQ(test::PdfImageWidths(out() + "/photo.pdf"), std::vector<int>{60});

  // GIF goes to the control detected and comes back as GIF.
  test::WriteImage(in() + "/g.gif", 30, 10, 8);
  clsConversionOptions gif = Item(in() + "/g.gif", 40, out() + "/g.pdf");
  EXPECT_EQ(PerformConversionItem(frm, gif), 0) << gif.sErr;
  EXPECT_EQ(gif.lOriginalFileType, 40);

  // Not an image at all, as a TIFF: nothing converted, with the hint to
  // let the type be detected.
  test::WriteFile(in() + "/junk.tif", "junk");
  clsConversionOptions junk = Item(in() + "/junk.tif", 18, out() + "/junk.pdf");
  EXPECT_EQ(PerformConversionItem(frm, junk), -113);
  EXPECT_EQ(junk.sErr, "PDF was not created - Invalid file format. Try 'Autodetect' for the Original File Format");
  EXPECT_FALSE(std::filesystem::exists(out() + "/junk.pdf"));
  // The same file asked for a page it lacks: that page cannot be loaded.
  clsConversionOptions junkPage = Item(in() + "/junk.tif", 18, out() + "/junk.pdf", Options(2, "1"));
  EXPECT_EQ(PerformConversionItem(frm, junkPage), -110);
  EXPECT_EQ(junkPage.sErr, "Unable to load frame 0. Check Options Button");
}

TEST_F(ConversionDriver, AfterProcessingDeletesOrMovesOnlyGoodInputs) {
  test::WriteImage(in() + "/del.png", 20);
  frm.bDeleteOriginalFileAfterProcessing = true;
  clsConversionOptions del = Item(in() + "/del.png", 13, out() + "/del.pdf");
  EXPECT_EQ(PerformConversionItem(frm, del), 0);
  EXPECT_FALSE(std::filesystem::exists(in() + "/del.png"));

  test::WriteFile(in() + "/bad.png", "broken");
  clsConversionOptions bad = Item(in() + "/bad.png", 13, out() + "/bad.pdf");
  EXPECT_NE(PerformConversionItem(frm, bad), 0);
  EXPECT_TRUE(std::filesystem::exists(in() + "/bad.png"));
  frm.bDeleteOriginalFileAfterProcessing = false;

  test::WriteImage(in() + "/sub/mv.png", 20);
  frm.bMoveOriginalFileAfterProcessing = true;
  frm.sMoveFileToFolder = dir.file("done");
  clsConversionOptions mv = Item(in() + "/sub/mv.png", 13, out() + "/mv.pdf");
  mv.sSubFolder = "sub/";
  EXPECT_EQ(PerformConversionItem(frm, mv), 0);
  EXPECT_EQ(frm.sMoveFileToFolder, dir.file("done") + "/");
  EXPECT_TRUE(std::filesystem::exists(dir.file("done/sub/mv.png")));
  EXPECT_FALSE(std::filesystem::exists(in() + "/sub/mv.png"));
}

TEST_F(ConversionDriver, OutputTakesTheInputsFileTimesOfTheRealInput) {
  const std::string tif = in() + "/old.tif";
  test::WriteTiffPages(tif, {30, 31});
  struct utimbuf times {};
  times.actime = 1000000000;
  times.modtime = 1000003600;
  ASSERT_EQ(utime(tif.c_str(), &times), 0);
  frm.bRetainInputFileTimeStamp = true;
  clsConversionOptions co = Item(tif, 18, out() + "/old.pdf");
  ASSERT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
  struct stat st {};
  ASSERT_EQ(stat((out() + "/old.pdf").c_str(), &st), 0);
  EXPECT_EQ(st.st_mtime, 1000003600);
  EXPECT_EQ(st.st_atime, 1000000000);
}

TEST_F(ConversionDriver, ReplacingKeepsTheOldOutputUntilTheNewOneIsGood) {
  const std::string tif = in() + "/r.tif";
  test::WriteTiffPages(tif, {101, 102});
  const std::string pdf = out() + "/r.pdf";
  clsConversionOptions co = Item(tif, 18, pdf);
  ASSERT_EQ(PerformConversionItem(frm, co), 0);
  ASSERT_EQ(PerformConversionItem(frm, co), 0);
  EXPECT_EQ(test::PdfImageWidths(pdf), (std::vector<int>{101, 102}));
  const std::string good = test::ReadFile(pdf);

  clsConversionOptions bad = Item(tif, 18, pdf, Options(2, "7"));
  EXPECT_EQ(PerformConversionItem(frm, bad), -110);
  EXPECT_EQ(test::ReadFile(pdf), good);
  EXPECT_EQ(bad.sTargetFile, pdf);
  EXPECT_EQ(test::FolderEntries(out()), std::vector<std::string>{"r.pdf"});
}

TEST_F(ConversionDriver, AnOutputThatIsALinkStaysOneAndSharesItsFilesLock) {
  test::WriteImage(in() + "/a.png", 40);
  std::filesystem::create_directories(out());
  std::filesystem::create_symlink("real.pdf", out() + "/link.pdf");
  for (int pass = 0; pass < 2; ++pass) {  // a new file through the link, then replacing it
    clsConversionOptions co = Item(in() + "/a.png", 13, out() + "/link.pdf");
    ASSERT_EQ(PerformConversionItem(frm, co), 0) << co.sErr;
  }
  EXPECT_TRUE(std::filesystem::is_symlink(out() + "/link.pdf"));
  EXPECT_EQ(test::FolderEntries(out()), (std::vector<std::string>{"link.pdf", "real.pdf"}));
  EXPECT_EQ(OutputLock::LockFileOf(out() + "/link.pdf"), OutputLock::LockFileOf(out() + "/real.pdf"));
}

// A link to itself or a loop of links lands nowhere: every writer refuses
// it with the system's reason, and the links stay as they were.
TEST_F(ConversionDriver, ALoopOfLinksIsRefusedWithItsReasonAndStays) {
  test::WriteImage(in() + "/a.png", 40);
  std::filesystem::create_directories(out());
  const std::vector<std::pair<std::string, std::string>> links = {{"self.pdf", "self.pdf"}, {"a.pdf", "b.pdf"}, {"b.pdf", "a.pdf"}};
  for (const auto& [link, target] : links) std::filesystem::create_symlink(target, out() + "/" + link);
  for (const auto& [link, target] : links) {
    for (bool append : {false, true}) {
      clsConversionOptions co = Item(in() + "/a.png", 13, out() + "/" + link, Options(2, "*", append));
      EXPECT_EQ(PerformConversionItem(frm, co), -1);
      EXPECT_NE(co.sErr.find("(Too many levels of symbolic links)"), std::string::npos) << co.sErr;
    }
    std::string why;
    EXPECT_FALSE(WriteTextFileAtomic(out() + "/" + link, "job", &why));
    EXPECT_NE(why.find("Too many levels of symbolic links"), std::string::npos) << why;
  }
  for (const auto& [link, target] : links) EXPECT_EQ(std::filesystem::read_symlink(out() + "/" + link), target);
  EXPECT_EQ(test::FolderEntries(out()), (std::vector<std::string>{"a.pdf", "b.pdf", "self.pdf"}));
}

// A write the system refuses (here a file-size limit, as a full disk does)
// gives its reason on every road: a new file, a whole rewrite, the direct
// append and the general one.
TEST_F(ConversionDriver, AFailedWriteGivesTheSystemsReasonOnEveryRoad) {
  test::WriteImage(in() + "/a.jpg", 300, 300);
  const std::string own = out() + "/own.pdf";
  clsConversionOptions seed = Item(in() + "/a.jpg", 2, own);
  ASSERT_EQ(PerformConversionItem(frm, seed), 0) << seed.sErr;
  ASSERT_EQ(test::RunCommand("qpdf --object-streams=generate " + own + " " + out() + "/stream.pdf").exitCode, 0);
  const struct { const char* output; bool append; } roads[] = {{"new.pdf", false}, {"own.pdf", false}, {"own.pdf", true}, {"stream.pdf", true}};
  for (const auto& road : roads) {
    clsConversionOptions co = Item(in() + "/a.jpg", 2, out() + "/" + road.output, Options(2, "*", road.append));
    test::FileSizeLimit limit(std::filesystem::file_size(own) / 2);
    EXPECT_EQ(PerformConversionItem(frm, co), -1);
    EXPECT_NE(co.sErr.find("(File too large)"), std::string::npos) << co.sErr;
  }
}

TEST(OutputSnapshot, RestoresGrowthRemovesNewFilesAndPutsReplacedOnesBack) {
  TempDir dir;
  const std::string grown = test::WriteFile(dir.file("a.pdf"), "old bytes");
  test::WriteFile(dir.file("tmp"), "");
  {
    OutputSnapshot a(grown);
    { std::ofstream(grown, std::ios::app) << " and new ones"; }
    EXPECT_TRUE(a.Restore());
    EXPECT_EQ(test::ReadFile(grown), "old bytes");

    OutputSnapshot b(dir.file("b.pdf"));
    test::WriteFile(dir.file("b.pdf"), "made by the item");
    EXPECT_TRUE(b.Restore());
    EXPECT_FALSE(std::filesystem::exists(dir.file("b.pdf")));

    OutputSnapshot c(grown);
    c.Hold();  // before work that may replace the file
    test::WriteFile(dir.file("c.new"), "a whole new file, longer");
    std::filesystem::rename(dir.file("c.new"), grown);
    EXPECT_TRUE(c.Restore());
    EXPECT_EQ(test::ReadFile(grown), "old bytes");
    std::filesystem::remove(grown);
    EXPECT_TRUE(c.Restore());
    EXPECT_EQ(test::ReadFile(grown), "old bytes");
  }
  EXPECT_EQ(test::FolderEntries(dir.path().string()), (std::vector<std::string>{"a.pdf", "tmp"}));

  // A name too long to build a second name on still gets its file back.
  const std::string longName = test::WriteFile(dir.file(std::string(250, 'n')), "old bytes");
  {
    OutputSnapshot d(longName);
    d.Hold();
    test::WriteFile(dir.file("d.new"), "replaced");
    std::filesystem::rename(dir.file("d.new"), longName);
    EXPECT_TRUE(d.Restore());
  }
  EXPECT_EQ(test::ReadFile(longName), "old bytes");
  EXPECT_EQ(test::FolderEntries(dir.path().string()).size(), 3u);
}

}  // namespace
}  // namespace tessa
