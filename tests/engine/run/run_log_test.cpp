#include "engine/run/run_log.h"

#include "common/program_modes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/image_fixtures.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::TempDir;

class RunLog : public ::testing::Test {
 protected:
  void SetUp() override {
    frm.fgToDo.SetRows(4);  // two tasks and the placeholder
    frm.fgToDo.SetTextMatrix(1, 0, "RM");
    frm.fgToDo.SetTextMatrix(2, 0, "GM");
    frm.fgToDo.SetTextMatrix(3, 2, "*");
  }

  clsConversionOptions Failing() const {
    clsConversionOptions co;
    co.sExtraParams = "FALSE^a^c^k^s^t^2^*^";
    co.sOriginalFile = "/in/x.tif";
    co.lOriginalFileType = 18;
    co.sTargetFile = "/out/x.pdf";
    co.lTargetFileType = 100;
    co.lErr = -5;
    co.sErr = "first\r\nsecond";
    return co;
  }

  TempDir dir;
  test::RecordingUserInterface ui;
  MainForm frm;
};

TEST_F(RunLog, ConversionRowHasTheTaskCellsMarkAndStatusAndGoesToTheLogFile) {
  frm.sLogFile = dir.file("run.log");
  clsConversionOptions co = Failing();
  LogConversionError(frm, 2, co);

  EXPECT_EQ(co.sErr, "first  second");
  ASSERT_EQ(frm.fgLog.Rows(), 3);
  const std::vector<std::string> expected = {"GM", "FALSE^a^c^k^s^t^2^*^", "2", "C", "/in/x.tif", "18", "tif",
                                             "/out/x.pdf", "100", "PDF", "-", "first  second"};
  EXPECT_EQ(frm.fgLog.RowCells(1), expected);
  EXPECT_EQ(frm.fgLog.Row(), 2);
  EXPECT_EQ(frm.fgLog.RowCells(2), std::vector<std::string>(12));
  EXPECT_EQ(test::ReadFile(frm.sLogFile),
            "GM\tFALSE^a^c^k^s^t^2^*^\t2\tC\t/in/x.tif\t18\ttif\t/out/x.pdf\t100\tPDF\t\tfirst  second\r\n");

  clsConversionOptions ok = Failing();
  ok.lErr = 0;
  ok.sErr = "fine";
  LogConversionError(frm, 1, ok);
  ASSERT_EQ(frm.fgLog.Rows(), 4);
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 0), "RM");
  EXPECT_EQ(frm.fgLog.TextMatrix(2, 10), "+");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 10), "-");
}

TEST_F(RunLog, CommandLineRunsKeepLineBreaksAndHighTaskNumbersWrapForTheFlags) {
  struct CommandLineRun {
    CommandLineRun() { bCommandLineMode = true; }
    ~CommandLineRun() { bCommandLineMode = false; }
  } commandLine;
  clsConversionOptions co = Failing();
  co.lConversionMethod = 2;
  LogConversionError(frm, 30001, co);
  EXPECT_EQ(co.sErr, "first\r\nsecond");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 0), "RM");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 2), "30001");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 6), "");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 9), "");
}

TEST_F(RunLog, WithoutLogFileOnlyVerboseTasksWriteAndTheirOwnFileBecomesTheRunsLogFile) {
  clsConversionOptions quiet = Failing();
  LogConversionError(frm, 1, quiet);
  EXPECT_TRUE(ui.boxes.empty());

  clsConversionOptions verbose = Failing();
  verbose.bVerboseLog = true;
  verbose.sLogFile = dir.file("task.log");
  LogConversionError(frm, 1, verbose);
  EXPECT_EQ(frm.sLogFile, dir.file("task.log"));
  EXPECT_NE(test::ReadFile(dir.file("task.log")).find("/in/x.tif"), std::string::npos);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_NE(ui.boxes[0].prompt.find("first  second"), std::string::npos);
}

TEST_F(RunLog, ExitCodeRowPassesWhateverTheCodeAndWritesNoLine) {
  frm.sLogFile = dir.file("run.log");
  clsConversionOptions co;
  co.sActionToDo = "S60";
  co.lSpecialProcess = 60;
  co.sOriginalFile = "/bin/sh";
  co.sTargetFile = "-c 'exit 3'";
  co.lCommandLineExitCode = 3;
  LogExitCode(frm, 2, co);
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 11), "Exit Code: 3");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 10), "+");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 0), "GM");
  EXPECT_EQ(frm.fgLog.TextMatrix(1, 6), "");
  EXPECT_FALSE(std::filesystem::exists(frm.sLogFile));
}

TEST_F(RunLog, PassMarkLandsOnTheGivenRowEvenWhenAnotherIsCurrent) {
  frm.fgToDo.SetRow(1);
  UpdatePassedCell(frm.fgToDo, 2, -3);
  EXPECT_EQ(frm.fgToDo.TextMatrix(2, 10), "-");
  EXPECT_EQ(frm.fgToDo.TextMatrix(1, 10), "");
  EXPECT_EQ(frm.fgToDo.Row(), 2);
  EXPECT_EQ(frm.fgToDo.ColSel(), 10);
  UpdatePassedCell(frm.fgToDo, 2, 0);
  EXPECT_EQ(frm.fgToDo.TextMatrix(2, 10), "+");
  EXPECT_GE(ui.yields, 2);

  FlexGrid narrow(4, 3);
  UpdatePassedCell(narrow, 1, 0);
  EXPECT_EQ(narrow.TextMatrix(1, 3), "");
}

}  // namespace
}  // namespace tessa
