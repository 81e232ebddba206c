#include "pdfcontrol/quirepane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "convert_fixture.h"
#include "support/temp_dir.h"

namespace quirepane::test {
namespace {

using tessa::test::ReadFile;
using tessa::test::RunCommand;
using tessa::test::ShellQuote;
using tessa::test::WriteFile;

using ControlEntry = ConvertFixture;

TEST_F(ControlEntry, MissingSourceComesBeforeMissingDestination) {
  EXPECT_EQ(Convert("", ""), CR_Failure_NoInput);
  EXPECT_EQ(Convert(File("absent.png"), File("out.pdf")), CR_Failure_NoInput);
  std::filesystem::create_directories(File("folder"));
  EXPECT_EQ(Convert(File("folder"), File("out.pdf")), CR_Failure_NoInput);
  EXPECT_FALSE(std::filesystem::exists(File("out.pdf")));
}

TEST_F(ControlEntry, EmptyDestinationWritesNothing) {
  const std::string png = MakeImage(File("a.png"), FIF_PNG, 20, 10);
  EXPECT_EQ(Convert(png, ""), CR_Failure_NoOutput);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.path()), {}), 2);  // a.png and tmp
}

TEST_F(ControlEntry, WildcardThatMatchesAFilePassesTheInputCheck) {
  MakeImage(File("scan.png"), FIF_PNG, 20, 10);
  // The conversion itself cannot read a mask, but the input check lets it by.
  EXPECT_NE(Convert(File("sc*.png"), File("out.pdf")), CR_Failure_NoInput);
  EXPECT_EQ(Convert(File("zz*.png"), File("out.pdf")), CR_Failure_NoInput);
}

TEST_F(ControlEntry, BracketsInANameAreNotAPattern) {
  // Only "*" and "?" are wildcards; a file named with brackets is itself.
  const std::string png = MakeImage(File("scan [1].png"), FIF_PNG, 20, 10);
  EXPECT_EQ(Convert(png, File("out.pdf")), CR_Success);
  MakeImage(File("x.png"), FIF_PNG, 20, 10);
  EXPECT_EQ(Convert(File("[x].png"), File("out.pdf")), CR_Failure_NoInput);
  EXPECT_NE(Convert(File("scan [1]*"), File("out.pdf")), CR_Failure_NoInput);
}

TEST_F(ControlEntry, TypeMismatchGivesFiveAndWritesNothing) {
  const std::string png = MakeImage(File("a.png"), FIF_PNG, 20, 10);
  EXPECT_EQ(Convert(png, File("out.pdf"), FT_JPEG), CR_Failure_InvalidImageType);
  EXPECT_FALSE(std::filesystem::exists(File("out.pdf")));
  EXPECT_EQ(Convert(png, File("out.pdf"), FT_PNG), CR_Success);
}

TEST_F(ControlEntry, UnreadableImageGivesFive) {
  const std::string junk = WriteFile(File("junk.png"), "this is not an image at all");
  EXPECT_EQ(Convert(junk, File("out.pdf")), CR_Failure_InvalidImageType);
  EXPECT_FALSE(std::filesystem::exists(File("out.pdf")));
}

TEST(ControlProperties, StoreIsSharedOnAThreadAndSeparateAcrossThreads) {
  Quirepane first, second;
  first.SetPDFTitle("Shared title");
  EXPECT_EQ(second.PDFTitle(), "Shared title");
  std::string seen = "unset";
  std::thread other([&seen] { seen = Quirepane().PDFTitle(); });
  other.join();
  EXPECT_EQ(seen, "");
}

TEST(ControlProperties, SettersNotifyWithPersistenceNames) {
  Quirepane control;
  std::vector<std::string> names;
  control.PropertyChanged = [&names](const std::string& name) { names.push_back(name); };
  control.SetSourceFile("a");
  control.SetDestinationFile("b");
  control.SetFileType(FT_PNG);
  control.SetAppendToExisting(true);
  control.SetPDFAuthor("x");
  control.SetPDFTitle("x");
  control.SetPDFSubject("x");
  control.SetPDFKeyword("x");
  control.SetPDFCreator("x");
  EXPECT_EQ(names, (std::vector<std::string>{"SourceFile", "DestinationFile", "FileType", "AppendToExisting", "PDF_Author",
                                             "PDF_Title", "PDF_Subject", "PDF_Keyword", "PDF_Creator"}));
}

TEST(ControlProperties, PropertyBagLeavesOutDefaultsAndRestoresThem) {
  Quirepane control;
  control.ReadProperties({});
  EXPECT_EQ(control.FileType(), FT_AUTO);
  EXPECT_FALSE(control.AppendToExisting());
  PropertyBag bag{{"stale", "kept"}};
  control.WriteProperties(bag);
  EXPECT_EQ(bag, (PropertyBag{{"stale", "kept"}}));

  control.SetFileType(FT_TIFF);
  control.SetAppendToExisting(true);
  control.SetPDFKeyword("k");
  control.WriteProperties(bag);
  EXPECT_EQ(bag["FileType"], "18");
  EXPECT_EQ(bag["AppendToExisting"], "True");
  EXPECT_EQ(bag["PDF_Keyword"], "k");
  control.ReadProperties({});
  control.ReadProperties(bag);
  EXPECT_EQ(control.FileType(), FT_TIFF);
  EXPECT_TRUE(control.AppendToExisting());
  EXPECT_EQ(control.PDFKeyword(), "k");
}

TEST(ControlProperties, AboutBoxGoesThroughTheInstalledHandler) {
  Quirepane control;
  control.ShowAboutBox();  // no window side: nothing happens
  int shown = 0;
  control.AboutBoxHandler = [&shown] { ++shown; };
  control.ShowAboutBox();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(AboutBoxVersion(), "Quirepane  v1.0.0");
}

// The shared library shows what the engine, the window side and the
// programs call, and keeps its helpers to itself.
TEST(ControlLibrary, ShowsItsInterfaceOnly) {
  const std::string shown =
      RunCommand("nm -D --defined-only -C " + ShellQuote(TESSA_BINARY_DIR "/lib/libquirepane.so") + " | grep ' T '").output;
  EXPECT_LE(std::count(shown.begin(), shown.end(), '\n'), 40) << shown;
  for (const char* used : {"Quirepane::Convert()", "TiffPages::Load(", "EnsureFreeImage()", "bTiffPageChainIntact("})
    EXPECT_NE(shown.find(used), std::string::npos) << used;
  for (const char* helper : {"TiffPages::U16(", "TiffPages::Entry(", "BitmapDeleter", "LockedPage", "DropTransparency"})
    EXPECT_EQ(shown.find(helper), std::string::npos) << helper;
}

}  // namespace
}  // namespace quirepane::test
