#include "engine/run/block_dispatch.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/task/caret_records.h"
#include "engine/image_fixtures.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;
namespace fs = std::filesystem;

std::string Options(bool append, int32_t compression = 2, const std::string& pages = "*") {
  return BuildAdvancedOptions(append, "A", "C", "K", "S", "T", compression, pages);
}

class BlockDispatch : public ::testing::Test {
 protected:
  void SetUp() override {
    frm.bRunning = true;
    frm.fgToDo.SetRows(3);
    frm.fgToDo.SetTextMatrix(1, 0, "M");
    frm.fgToDo.SetTextMatrix(2, 2, "*");
  }

  clsConversionOptions Task(const std::string& input, int32_t type, const std::string& output, bool append) {
    clsConversionOptions co;
    co.sOriginalFile = input;
    co.lOriginalFileType = type;
    co.sTargetFile = output;
    co.sExtraParams = Options(append);
    return co;
  }

  int32_t Run(clsConversionOptions co) {
    int32_t ret = 1;
    PerformBlock(frm, 1, co, ret);
    last = co;
    return ret;
  }

  std::string in(const std::string& name = "") const { return dir.file("in") + (name.empty() ? "" : "/" + name); }
  std::string out(const std::string& name = "") const {
    return dir.file("out") + (name.empty() ? "" : "/" + name);
  }

  TempDir dir;
  test::RecordingUserInterface ui;
  MainForm frm;
  clsConversionOptions last;
};

TEST_F(BlockDispatch, SingleFileAndItsErrors) {
  test::WriteImage(in("a.png"), 41);
  EXPECT_EQ(Run(Task(in("a.png"), 13, out("deep/a.pdf"), false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("deep/a.pdf")), std::vector<int>{41});
  EXPECT_EQ(frm.fgLog.Rows(), 2);  // success without log file: no row

  EXPECT_EQ(Run(Task(in("none.png"), 13, out("none.pdf"), false)), -2);
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 10), "-");
  EXPECT_EQ(Run(Task(dir.file("nofolder/*.png"), 13, out("*.pdf"), false)), -10000);
  EXPECT_EQ(last.lErr, -10000);
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 10), "-");

  // A PNG declared as JPEG recovers through detection.
  test::WriteImage(in("p.png"), 22);
  EXPECT_EQ(Run(Task(in("p.png"), 2, out("p.pdf"), false)), 0);
  // An input without wildcard and an output mask run nothing: the task
  // fails with the check's verdict.
  EXPECT_EQ(Run(Task(in("p.png"), 13, out("*.pdf"), false)), -5);
  EXPECT_EQ(frm.fgLog.TextMatrix(3, 11),
            "Output File " + out("*.pdf") + " cannot have a wildcard (*) in it unless the Input file does.");
  EXPECT_FALSE(fs::exists(out("*.pdf")));
}

TEST_F(BlockDispatch, PathMacrosOfTheTaskAreExpandedBeforeItRuns) {
  test::ScopedEnv home("HOME", dir.path().string());
  test::WriteImage(in("a.png"), 41);
  test::WriteImage(in("b.png"), 42);
  clsConversionOptions one = Task(" %USERPROFILE%/in/a.png", 13, "%userprofile%/out/one/a.pdf", false);
  one.sLogFile = "%USERPROFILE%/task.log";
  frm.sLogFile = dir.file("main.log");
  EXPECT_EQ(Run(one), 0);
  EXPECT_EQ(test::PdfImageWidths(out("one/a.pdf")), std::vector<int>{41});
  EXPECT_EQ(last.sOriginalFile, in("a.png"));
  EXPECT_EQ(frm.sLogFile, dir.file("task.log"));
  EXPECT_NE(test::ReadFile(dir.file("task.log")).find(out("one/a.pdf")), std::string::npos);

  EXPECT_EQ(Run(Task("%USERPROFILE%/in/*.png", 13, "%USERPROFILE%/out/each/*.pdf", false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("each/b.pdf")), std::vector<int>{42});
}

TEST_F(BlockDispatch, MaskIntoAFolderMirrorsSubfoldersAndSkipsWhatIsDone) {
  test::WriteImage(in("a.png"), 11);
  test::WriteImage(in("x/b.png"), 12);
  test::WriteImage(in("x/y/c.PNG"), 13);
  test::WriteFile(in("notes.txt"), "not an image");
  clsConversionOptions task = Task(in("*.png"), 13, out("*.PDF"), false);
  task.bDoSubfolders = true;
  EXPECT_EQ(Run(task), 0);
  EXPECT_EQ(test::PdfImageWidths(out("a.PDF")), std::vector<int>{11});
  EXPECT_EQ(test::PdfImageWidths(out("x/b.PDF")), std::vector<int>{12});
  EXPECT_EQ(test::PdfImageWidths(out("x/y/c.PDF")), std::vector<int>{13});
  EXPECT_EQ(ui.panels[6], " 100.0 Percent Complete ");

  // Skip-processed converts only what is missing.
  test::WriteFile(out("a.PDF"), "kept");
  fs::remove(out("x/b.PDF"));
  frm.bSkipProcessedFiles = true;
  task.sTargetFile = out("*.txt");
  EXPECT_EQ(Run(task), 0);
  EXPECT_FALSE(fs::exists(out("a.txt")));
  EXPECT_EQ(test::ReadFile(out("a.PDF")), "kept");
  frm.bSkipProcessedFiles = false;

  // Beside each input instead.
  clsConversionOptions beside = Task(in("*.png"), 13, out("*.pdf"), false);
  beside.bDoSubfolders = true;
  beside.bSaveInOriginalFolder = true;
  EXPECT_EQ(Run(beside), 0);
  EXPECT_TRUE(fs::exists(in("x/y/c.pdf")));
}

TEST_F(BlockDispatch, MaskIntoOnePdfAppendsEveryFileWhateverTheAppendFlag) {
  test::WriteImage(in("1.png"), 31);
  test::WriteImage(in("2.png"), 32);
  test::WriteTiffPages(in("3.tif"), {33, 34});
  EXPECT_EQ(Run(Task(in("*.*"), -1, out("*.pdf"), true)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("Append.pdf")), (std::vector<int>{31, 32, 33, 34}));
  EXPECT_TRUE(test::PdfIsSound(out("Append.pdf")));

  EXPECT_EQ(Run(Task(in("*.png"), 13, out("all.pdf"), false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("all.pdf")), (std::vector<int>{31, 32}));
  EXPECT_EQ(last.sTargetFile, out("all.pdf"));

  frm.bSkipProcessedFiles = true;
  const std::string before = test::ReadFile(out("all.pdf"));
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("all.pdf"), false)), 0);
  EXPECT_EQ(test::ReadFile(out("all.pdf")), before);
}

TEST_F(BlockDispatch, TiffOutputsAreReplacedNotGrownAlsoWhenTheTypeIsDetected) {
  test::WriteTiffPages(in("t.tif"), {51, 52});
  for (int run = 0; run < 2; ++run) EXPECT_EQ(Run(Task(in("t.tif"), -1, out("t.pdf"), false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("t.pdf")), (std::vector<int>{51, 52}));
  for (int run = 0; run < 2; ++run) EXPECT_EQ(Run(Task(in("*.tif"), 18, out("*.pdf"), false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("t.pdf")), (std::vector<int>{51, 52}));

  // Also under a name too long for a longer hidden name beside it.
  const std::string longName(240, 'n');
  test::WriteTiffPages(in(longName + ".tif"), {53, 54});
  for (int run = 0; run < 2; ++run)
    EXPECT_EQ(Run(Task(in(longName + ".tif"), 18, out(longName + ".pdf"), false)), 0);
  EXPECT_EQ(test::PdfImageWidths(out(longName + ".pdf")), (std::vector<int>{53, 54}));
  EXPECT_EQ(test::FolderEntries(out()), (std::vector<std::string>{longName + ".pdf", "t.pdf"}));
  EXPECT_EQ(test::FolderEntries(in()), (std::vector<std::string>{longName + ".tif", "t.tif"}));
  fs::remove(out(longName + ".pdf"));

  // A failing conversion leaves the old output in place.
  const std::string good = test::ReadFile(out("t.pdf"));
  clsConversionOptions bad = Task(in("t.tif"), 18, out("t.pdf"), false);
  bad.sExtraParams = Options(false, 2, "9");
  EXPECT_EQ(Run(bad), -110);
  EXPECT_EQ(test::ReadFile(out("t.pdf")), good);
}

TEST_F(BlockDispatch, LogRowsAndALaterSuccessDoesNotHideAFailure) {
  test::WriteImage(in("a.png"), 11);
  test::WriteFile(in("b.png"), "broken");
  test::WriteImage(in("c.png"), 13);

  EXPECT_EQ(Run(Task(in("*.png"), 13, out("*.pdf"), false)), -5);
  ASSERT_EQ(frm.fgLog.Rows(), 3);  // only the failure
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 4), in("b.png"));
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 7), out("b.pdf"));
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 10), "-");
  EXPECT_NE(frm.fgLog.TextMatrix(1, 11).find("Input File: " + in("b.png")), std::string::npos);

  frm.sLogFile = dir.file("logs/run.log");
  fs::create_directories(dir.file("logs"));
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("*.pdf"), false)), -5);
  ASSERT_EQ(frm.fgLog.Rows(), 6);
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 10), "+");
  EXPECT_EQ(frm.fgLog.TextMatrix(3, 10), "-");
  EXPECT_EQ(frm.fgLog.TextMatrix(4, 10), "+");
  const std::string log = test::ReadFile(frm.sLogFile);
  std::string expected;
  for (int row = 2; row <= 4; ++row) {
    std::string line;
    for (int c = 0; c < 12; ++c) line += (c ? "\t" : "") + (c == 10 ? "" : frm.fgLog.TextMatrix(row, c));
    expected += line + "\r\n";
  }
  EXPECT_EQ(log, expected);
}

TEST_F(BlockDispatch, PauseStopsBetweenFilesAndTheTaskResumesAtItsNextFile) {
  for (int i = 1; i <= 5; ++i) test::WriteImage(in("f" + std::to_string(i) + ".png"), 60 + i);
  int converted = 0;
  ui.onPanel = [&](int panel, const std::string&) {
    if (panel == 6 && ++converted == 3) frm.bRunning = false;  // paused during file 3
  };
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("all.pdf"), true)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("all.pdf")), (std::vector<int>{61, 62, 63}));
  EXPECT_EQ(frm.lResumeFileIndex, 4);

  ui.onPanel = nullptr;
  frm.bRunning = true;
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("all.pdf"), true)), 0);
  EXPECT_EQ(test::PdfImageWidths(out("all.pdf")), (std::vector<int>{61, 62, 63, 64, 65}));
  EXPECT_EQ(frm.lResumeFileIndex, 0);

  // Paused before the first file: nothing is done and the block says so.
  frm.bRunning = false;
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("each/*.pdf"), false)), 0);
  EXPECT_EQ(frm.lResumeFileIndex, 1);
  EXPECT_EQ(last.sErr, "Conversion Process paused.");
  EXPECT_FALSE(fs::exists(out("each/f1.pdf")));

  // Paused during the last file: the block is complete.
  frm.lResumeFileIndex = 0;
  frm.bRunning = true;
  converted = 0;
  ui.onPanel = [&](int panel, const std::string&) {
    if (panel == 6 && ++converted == 5) frm.bRunning = false;
  };
  EXPECT_EQ(Run(Task(in("*.png"), 13, out("each/*.pdf"), false)), 0);
  EXPECT_EQ(frm.lResumeFileIndex, 0);
  EXPECT_TRUE(fs::exists(out("each/f5.pdf")));
}

TEST_F(BlockDispatch, DeleteAndMoveAfterProcessingFollowTheMirroredSubfolder) {
  test::WriteImage(in("a.png"), 11);
  test::WriteImage(in("s/b.png"), 12);
  frm.bMoveOriginalFileAfterProcessing = true;
  frm.sMoveFileToFolder = dir.file("done");
  clsConversionOptions task = Task(in("*.png"), 13, out("*.pdf"), false);
  task.bDoSubfolders = true;
  EXPECT_EQ(Run(task), 0);
  EXPECT_TRUE(fs::exists(dir.file("done/a.png")));
  EXPECT_TRUE(fs::exists(dir.file("done/s/b.png")));
  EXPECT_FALSE(fs::exists(in("s/b.png")));

  frm.bMoveOriginalFileAfterProcessing = false;
  frm.bDeleteOriginalFileAfterProcessing = true;
  test::WriteImage(in("d.png"), 14);
  EXPECT_EQ(Run(Task(in("d.png"), 13, out("d.pdf"), false)), 0);
  EXPECT_FALSE(fs::exists(in("d.png")));
  EXPECT_TRUE(fs::exists(out("d.pdf")));
}

TEST_F(BlockDispatch, ProgramTaskLogsItsExitCode) {
  clsConversionOptions co;
  co.sActionToDo = "S60";
  co.lSpecialProcess = 60;
  co.sOriginalFile = "/bin/sh";
  co.sTargetFile = "-c \"exit 3\"";
  co.sExtraParams = "32^0^-1";
  EXPECT_EQ(Run(co), 0);
  ASSERT_EQ(frm.fgLog.Rows(), 3);  // no log file: only the exit-code row
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 11), "Exit Code: 3");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 10), "+");

  co.sOriginalFile = dir.file("no-such-program");
  EXPECT_EQ(Run(co), -10);
  ASSERT_EQ(frm.fgLog.Rows(), 4);
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 11), "Unable to launch application.");
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 10), "-");
}

TEST_F(BlockDispatch, OtherActionsDoNothing) {
  clsConversionOptions co;
  co.sActionToDo = "X";
  EXPECT_EQ(Run(co), 0);
  EXPECT_EQ(frm.fgLog.Rows(), 2);
}

}  // namespace
}  // namespace tessa
