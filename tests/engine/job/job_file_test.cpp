#include "engine/job/job_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/text_helpers.h"
#include "engine/main_form.h"
#include "engine/job/todo_grid.h"
#include "platform/text_file.h"
#include "engine/job_test_support.h"
#include "support/scripted_user_interface.h"
#include "support/file_size_limit.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::JobText;
using test::kPlaceholderLine;
using test::TaskLine;

struct JobFileTest : test::JobFormTest<test::ScriptedUserInterface> {
  std::vector<std::string> Inputs() {
    std::vector<std::string> v;
    for (int r = 1; r <= form.fgToDo.Rows() - 2; ++r) v.push_back(form.fgToDo.TextMatrix(r, kColInput));
    return v;
  }
};

TEST_F(JobFileTest, SaveThenOpenRoundTripsByteForByte) {
  const std::string text = TaskLine(1, "+") + TaskLine(2, "-") +
                           "RGM\t \t3\tS60\t/usr/bin/true\t-12345678\t\t--x \"a b\"\t-12345678\t\t\t\r\n" +
                           kPlaceholderLine;
  const std::string in = test::WriteFile(dir.file("in.ZOL"), text);
  ASSERT_TRUE(form.ConversionJobOpen(in));
  EXPECT_EQ(form.fgToDo.Rows(), 5);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColPass), "+");
  EXPECT_EQ(form.fgToDo.TextMatrix(3, kColAction), "S60");
  EXPECT_EQ(form.sCurrentJobFile, in);
  EXPECT_EQ(view.caption, "in.ZOL");
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("out.ZOL")));
  EXPECT_EQ(test::ReadFile(dir.file("out.ZOL")), text);
  EXPECT_EQ(form.sCurrentJobFile, dir.file("out.ZOL"));
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(JobFileTest, APickedNameHoldingABackslashIsSavedAndOpenedAsNamed) {
  const std::string other = test::WriteFile(dir.file("a/b.ZOL"), "keep");
  ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("j.ZOL"), JobText(2))));
  view.picked = dir.file("a\\b.ZOL");
  EXPECT_TRUE(form.ConversionJobSaveAs() && form.SaveLogAsConversionJob() && form.ConversionJobOpen());
  EXPECT_EQ(form.sCurrentJobFile + ", " + test::ReadFile(other), view.picked + ", keep");  // a/b.ZOL untouched
}

TEST_F(JobFileTest, LoadingSkipsBlankAndPlaceholderLinesAndRenumbers) {
  const std::string text = "\r\n" + TaskLine(7) + "   \r\n\t\t\r\n" + kPlaceholderLine + TaskLine(9) + "\n" +
                           TaskLine(4) + kPlaceholderLine;
  ASSERT_TRUE(form.LoadJobFileIntoGrid(test::WriteFile(dir.file("j.ZOL"), text), 1, form.fgToDo));
  ASSERT_EQ(form.fgToDo.Rows(), 5);
  for (int r = 1; r <= 3; ++r) EXPECT_EQ(form.fgToDo.TextMatrix(r, kColNumber), std::to_string(r));
  EXPECT_EQ(Inputs(), (std::vector<std::string>{"/data/in7.bmp", "/data/in9.bmp", "/data/in4.bmp"}));
  EXPECT_EQ(form.fgToDo.TextMatrix(4, kColNumber), "*");
}

TEST_F(JobFileTest, JobFilesOfTheOriginalPlatformLoadAndSaveAsUtf8) {
  const std::string line = "M\t1\t1\tC\tC:\\Scans\\caf\xC3\xA9.bmp\t0\tbmp\tC:\\Out\\a.pdf\t100\tPDF\t\t\r\n";
  const std::string utf8 = line + kPlaceholderLine;
  const std::string utf16 = ByteOrderMark(TextEncoding::Utf16LE) + EncodeText(utf8, TextEncoding::Utf16LE);
  const std::string ansi = EncodeText(utf8, TextEncoding::Windows1252);
  for (const std::string& bytes : {utf16, ansi}) {
    ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("old.ZOL"), bytes)));
    EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "C:\\Scans\\caf\xC3\xA9.bmp");
    clsConversionOptions co;
    form.ReadConversionItemFromGrid(co, 1, form.fgToDo);
    EXPECT_EQ(co.sOriginalFile, "C:/Scans/caf\xC3\xA9.bmp");
    EXPECT_EQ(co.sTargetFile, "C:/Out/a.pdf");
    ASSERT_TRUE(form.ConversionJobSave());
    EXPECT_EQ(test::ReadFile(dir.file("old.ZOL")), utf8);
  }
}

TEST_F(JobFileTest, LoadingFromATaskNumbersFromIt) {
  ASSERT_TRUE(form.LoadJobFileIntoGrid(test::WriteFile(dir.file("j.ZOL"), JobText(8)), 5, form.fgToDo));
  ASSERT_EQ(form.fgToDo.Rows(), 6);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "5");
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "/data/in5.bmp");
  EXPECT_EQ(form.fgToDo.TextMatrix(4, kColNumber), "8");
}

TEST_F(JobFileTest, CapEndsTheGridWithAReloadRowOfTheSameFile) {
  form.lMaxToDoRows = 5;
  const std::string path = test::WriteFile(dir.file("long.ZOL"), JobText(10));
  ASSERT_TRUE(form.LoadJobFileIntoGrid(path, 1, form.fgToDo));
  // Four tasks bring the row count over the cap; then the reload row.
  ASSERT_EQ(form.fgToDo.Rows(), 7);
  EXPECT_EQ(form.fgToDo.TextMatrix(4, kColInput), "/data/in4.bmp");
  const auto& reload = form.fgToDo.RowCells(5);
  EXPECT_EQ(reload[kColAction], "S1");
  EXPECT_EQ(reload[kColNumber], "5");
  EXPECT_EQ(reload[kColInput], "Reload conversion job start at task 5");
  EXPECT_EQ(reload[kColOutput], path);
  EXPECT_EQ(reload[kColOutputType], "5");
  EXPECT_EQ(form.fgToDo.TextMatrix(6, kColNumber), "*");

  clsConversionOptions co;
  form.ReadConversionItemFromGrid(co, 5, form.fgToDo);
  EXPECT_EQ(co.lSpecialProcess, 1);
  ASSERT_TRUE(form.LoadJobFileIntoGrid(co.sTargetFile, co.lTargetFileType, form.fgToDo));
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "5");
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "/data/in5.bmp");
  EXPECT_EQ(form.fgToDo.TextMatrix(4, kColNumber), "8");
  EXPECT_EQ(form.fgToDo.TextMatrix(5, kColAction), "S1");
  EXPECT_EQ(form.fgToDo.TextMatrix(5, kColOutputType), "9");
}

TEST(JobFileLoad, APausedLoadEndsWithAReloadRowForTheRest) {
  test::EventUserInterface ui;
  test::TempDir dir;
  MainForm form;
  ui.onYield = [&] { form.bRunning = false; };  // Pause at the first yield (line 1000)
  const std::string path = test::WriteFile(dir.file("j.ZOL"), JobText(1500));
  ASSERT_TRUE(form.LoadJobFileIntoGrid(path, 1, form.fgToDo));
  EXPECT_FALSE(form.bRunning);
  ASSERT_EQ(form.fgToDo.Rows(), 1003);
  EXPECT_EQ(form.fgToDo.TextMatrix(1000, kColInput), "/data/in1000.bmp");
  EXPECT_EQ(form.fgToDo.TextMatrix(1001, kColAction), "S1");
  EXPECT_EQ(form.fgToDo.TextMatrix(1001, kColOutputType), "1001");
  EXPECT_EQ(ui.panels[8], "Completed loading conversion job: " + path);
}

TEST(JobFileLoad, SavingWhileAJobLoadsKeepsTheWholeFile) {
  test::EventUserInterface ui;
  test::TempDir dir;
  MainForm form;
  const std::string path = test::WriteFile(dir.file("j.ZOL"), JobText(2500));
  form.sCurrentJobFile = path;
  bool saved = true;
  ui.onYield = [&] {
    if (form.fgToDo.Rows() < 2000) saved = form.ConversionJobSave();  // at line 1000
  };
  ASSERT_TRUE(form.LoadJobFileIntoGrid(path, 1, form.fgToDo));
  EXPECT_FALSE(saved);
  EXPECT_TRUE(test::ReadFile(path) == JobText(2500));
  EXPECT_EQ(form.fgToDo.Rows(), 2502);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].prompt.find("loaded"), std::string::npos);
}

TEST_F(JobFileTest, ALongJobFileFillsTheGridToItsCap) {
  const std::string path = test::WriteFile(dir.file("45000.ZOL"), JobText(45000));
  ASSERT_TRUE(form.LoadJobFileIntoGrid(path, 1, form.fgToDo));
  ASSERT_EQ(form.fgToDo.Rows(), 30002);
  EXPECT_EQ(form.fgToDo.TextMatrix(29999, kColInput), "/data/in29999.bmp");
  EXPECT_EQ(form.fgToDo.TextMatrix(30000, kColAction), "S1");
  EXPECT_EQ(form.fgToDo.TextMatrix(30000, kColNumber), "30000");
  EXPECT_EQ(form.fgToDo.TextMatrix(30000, kColOutputType), "30000");
  ASSERT_TRUE(form.LoadJobFileIntoGrid(path, 30000, form.fgToDo));
  EXPECT_EQ(form.fgToDo.Rows(), 15003);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "30000");
  EXPECT_EQ(form.fgToDo.TextMatrix(15001, kColNumber), "45000");
}

TEST_F(JobFileTest, NoReloadRowWhenNothingIsLeftBehindTheCap) {
  form.lMaxToDoRows = 5;
  ASSERT_TRUE(form.LoadJobFileIntoGrid(test::WriteFile(dir.file("j.ZOL"), JobText(4) + "\r\n"), 1, form.fgToDo));
  EXPECT_EQ(form.fgToDo.Rows(), 6);
  EXPECT_EQ(form.fgToDo.TextMatrix(4, kColAction), "C");
}

TEST_F(JobFileTest, SavingACappedJobKeepsEveryTask) {
  form.lMaxToDoRows = 5;
  const std::string path = test::WriteFile(dir.file("long.ZOL"), JobText(10));
  ASSERT_TRUE(form.ConversionJobOpen(path));
  form.fgToDo.SetTextMatrix(2, kColPass, "+");
  ASSERT_TRUE(form.ConversionJobSave());
  std::string expected = TaskLine(1) + TaskLine(2, "+");
  for (int n = 3; n <= 10; ++n) expected += TaskLine(n);
  EXPECT_EQ(test::ReadFile(path), expected + kPlaceholderLine);

  // After the reload the grid holds tasks 5 on; saving still writes 1 to 10.
  clsConversionOptions co;
  form.ReadConversionItemFromGrid(co, 5, form.fgToDo);
  ASSERT_TRUE(form.LoadJobFileIntoGrid(co.sTargetFile, co.lTargetFileType, form.fgToDo));
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("copy.ZOL")));
  EXPECT_EQ(test::ReadFile(dir.file("copy.ZOL")), expected + kPlaceholderLine);

  // A task added behind the reload row follows the rest of the file.
  ASSERT_TRUE(form.ConversionJobOpen(path));
  form.fgToDo.AddItem(TaskLine(11), form.fgToDo.Rows() - 1);
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("added.ZOL")));
  EXPECT_EQ(test::ReadFile(dir.file("added.ZOL")), expected + TaskLine(11) + kPlaceholderLine);
}

TEST_F(JobFileTest, SavingAPartlyLoadedJobTwiceKeepsItWholeAndItsReloadRowRight) {
  form.lMaxToDoRows = 5;
  // Blank lines make line numbers and task numbers differ.
  std::string text = "\r\n\r\n";
  for (int n = 1; n <= 14; ++n) text += TaskLine(n) + (n == 6 ? "\r\n" : "");
  const std::string path = test::WriteFile(dir.file("long.ZOL"), text + kPlaceholderLine);
  // The inputs of a job file's task lines, in order.
  auto inputs = [&] {
    std::string seen;
    const std::string text = test::ReadFile(path);
    for (auto line : SplitJobFileLines(text))
      if (!bIsSkippedJobLine(line)) seen += SplitText(line, '\t')[kColInput] + " ";
    return seen;
  };
  std::string whole;
  for (int n = 1; n <= 14; ++n) whole += "/data/in" + std::to_string(n) + ".bmp ";

  ASSERT_TRUE(form.ConversionJobOpen(path));
  clsConversionOptions co;
  form.ReadConversionItemFromGrid(co, 5, form.fgToDo);
  ASSERT_TRUE(form.LoadJobFileIntoGrid(co.sTargetFile, co.lTargetFileType, form.fgToDo));
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "/data/in5.bmp");
  ASSERT_TRUE(form.ConversionJobSave());
  EXPECT_EQ(inputs(), whole);
  ASSERT_TRUE(form.ConversionJobSave());
  EXPECT_EQ(inputs(), whole);

  // The reload row of the grid now names the right line of the new file.
  form.ReadConversionItemFromGrid(co, 5, form.fgToDo);
  ASSERT_EQ(co.lSpecialProcess, 1);
  ASSERT_TRUE(form.LoadJobFileIntoGrid(co.sTargetFile, co.lTargetFileType, form.fgToDo));
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "/data/in9.bmp");
  ASSERT_TRUE(form.ConversionJobSave());
  EXPECT_EQ(inputs(), whole);
}

TEST_F(JobFileTest, SavingACappedJobWhoseFileIsGoneIsRefused) {
  form.lMaxToDoRows = 5;
  const std::string path = test::WriteFile(dir.file("long.ZOL"), JobText(10));
  ASSERT_TRUE(form.ConversionJobOpen(path));
  std::filesystem::rename(path, dir.file("moved.ZOL"));
  form.bAskToSaveZolFileBeforeExit = true;
  EXPECT_FALSE(form.ConversionJobSaveAs(dir.file("other.ZOL")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("other.ZOL")));
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].prompt.find("could not be read"), std::string::npos);
}

TEST_F(JobFileTest, AFailedSaveKeepsTheOldFileAndTheChangedFlag) {
  const std::string path = dir.file("job.ZOL");
  test::WriteFile(path, JobText(1));
  form.sCurrentJobFile = path;
  form.bAskToSaveZolFileBeforeExit = true;
  form.fgToDo.AddItem(TaskLine(5), 1);
  {
    test::FileSizeLimit diskFull(16);  // the new job cannot be written whole
    EXPECT_FALSE(form.ConversionJobSave());
  }
  EXPECT_EQ(test::ReadFile(path), JobText(1));
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].prompt.find("Unable to create file"), std::string::npos);
}

TEST_F(JobFileTest, AJobWhoseSaveFailedBeforeOpenOrNewIsKept) {
  const std::string path = test::WriteFile(dir.file("a.ZOL"), JobText(1));
  const std::string b = test::WriteFile(dir.file("b.ZOL"), JobText(3));
  ASSERT_TRUE(form.ConversionJobOpen(path));
  form.fgToDo.AddItem(TaskLine(5), 1);
  form.bAskToSaveZolFileBeforeExit = true;
  {
    test::FileSizeLimit diskFull(16);  // the job cannot be written whole
    ui.Answer(vbYes);
    EXPECT_FALSE(form.ConversionJobOpen(b));
    ui.Answer(vbYes);
    form.ConversionJobNew();
  }
  EXPECT_EQ(form.fgToDo.Rows(), 4);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInput), "/data/in5.bmp");
  EXPECT_EQ(form.sCurrentJobFile, path);
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);
  ASSERT_EQ(ui.boxes.size(), 4u);  // each time the question and the failure
  EXPECT_NE(ui.boxes[3].prompt.find("Unable to create file"), std::string::npos);
  // Answered No, the job is replaced as asked.
  ui.Answer(vbNo);
  EXPECT_TRUE(form.ConversionJobOpen(b));
  EXPECT_EQ(form.fgToDo.Rows(), 5);
}

TEST_F(JobFileTest, SavingAnEmptyJobAddsTheEditorTaskOrWritesNothing) {
  EXPECT_FALSE(form.ConversionJobSaveAs(dir.file("empty.ZOL")));
  EXPECT_FALSE(std::filesystem::exists(dir.file("empty.ZOL")));
  clsConversionOptions t;
  t.sOriginalFile = test::WriteFile(dir.file("a.bmp"), "BM");
  t.lOriginalFileType = 0;
  t.sTargetFile = dir.file("a.pdf");
  view.editor = t;
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("one.ZOL")));
  EXPECT_EQ(test::ReadFile(dir.file("one.ZOL")), "M\t1\t1\tC\t" + t.sOriginalFile + "\t0\tbmp\t" + t.sTargetFile +
                                                     "\t100\tPDF\t\t\r\n" + std::string(kPlaceholderLine));
}

TEST_F(JobFileTest, AMissingJobFileFailsAHeadlessOpenWithNothingToRun) {
  test::CommandLineModeScope commandLine;
  ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("a.ZOL"), JobText(3))));
  EXPECT_FALSE(form.ConversionJobOpen(dir.file("missing.ZOL")));
  EXPECT_NE(form.sJobFileError.find("missing.ZOL"), std::string::npos);
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_TRUE(ui.boxes.empty());
  // The run that follows runs nothing and ends with the failure in its log.
  form.ConversionJobBegin();
  ASSERT_EQ(form.fgLog.Rows(), 3);
  EXPECT_EQ(form.fgLog.TextMatrix(1, kColPass), "-");
  EXPECT_EQ(form.fgLog.TextMatrix(1, kColInput), dir.file("missing.ZOL"));
  EXPECT_EQ(form.fgLog.TextMatrix(1, kColStatus), form.sJobFileError);
}

TEST_F(JobFileTest, AMissingJobFileInTheWindowKeepsTheOpenJob) {
  const std::string a = test::WriteFile(dir.file("a.ZOL"), JobText(3));
  ASSERT_TRUE(form.ConversionJobOpen(a));
  EXPECT_FALSE(form.ConversionJobOpen(dir.file("missing.ZOL")));
  EXPECT_EQ(form.fgToDo.Rows(), 5);
  EXPECT_EQ(form.sCurrentJobFile, a);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Error");
}

TEST_F(JobFileTest, OpenAsksToSaveAChangedNamedJob) {
  const std::string a = test::WriteFile(dir.file("a.ZOL"), JobText(2));
  const std::string b = test::WriteFile(dir.file("b.ZOL"), JobText(3));
  ASSERT_TRUE(form.ConversionJobOpen(a));
  form.RemoveAllFilesWithJobNumber(1);
  form.bAskToSaveZolFileBeforeExit = true;
  ui.Answer(vbYes);
  ASSERT_TRUE(form.ConversionJobOpen(b));
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].prompt, "Save Conversion Job?");
  EXPECT_EQ(test::ReadFile(a),
            std::string("M\tFALSE^^^^^^0^*^\t1\tC\t/data/in2.bmp\t0\tbmp\t/out/2.pdf\t100\tPDF\t\t\r\n") +
                kPlaceholderLine);
  EXPECT_EQ(form.fgToDo.Rows(), 5);
  EXPECT_FALSE(form.bAskToSaveZolFileBeforeExit);
}

TEST_F(JobFileTest, NewJobEmptiesBothGrids) {
  ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("a.ZOL"), JobText(2))));
  form.fgLog.AddItem("x\t\t1", 1);
  form.ConversionJobNew();
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_EQ(form.fgLog.Rows(), 2);
  EXPECT_EQ(form.sCurrentJobFile, "*");
  EXPECT_EQ(view.caption, "*");
}

TEST_F(JobFileTest, LogAsJobWritesExactlyTheLogRows) {
  for (int i = 1; i <= 1200; ++i)
    form.fgLog.AddItem("M\tFALSE^\t" + std::to_string(i) + "\tC\t/a/" + std::to_string(i) + ".bmp\t0\tbmp\t/o.pdf\t100\tPDF\t-\tbad",
                       form.fgLog.Rows() - 1);
  form.fgLog.AddItem("\t\t\t\t\t\t\t\t\t\t\t", form.fgLog.Rows() - 1);  // short but real: kept
  form.fgLog.SetTextMatrix(1201, 0, "R");
  ASSERT_TRUE(form.SaveLogAsConversionJob(dir.file("log.ZOL")));
  const std::string text = test::ReadFile(dir.file("log.ZOL"));
  const auto lines = SplitJobFileLines(text);
  ASSERT_EQ(lines.size(), 1201u);
  EXPECT_EQ(lines[0], "M\tFALSE^\t1\tC\t/a/1.bmp\t0\tbmp\t/o.pdf\t");
  EXPECT_EQ(lines[1200], "R\t\t\t\t\t\t\t\t");
}

}  // namespace
}  // namespace tessa
