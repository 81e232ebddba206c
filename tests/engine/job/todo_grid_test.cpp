#include "engine/job/todo_grid.h"

#include <gtest/gtest.h>

#include "engine/main_form.h"

namespace tessa {
namespace {

clsConversionOptions ConversionTask() {
  clsConversionOptions t;
  t.sActionToDo = "C";
  t.sOriginalFile = "/in/*.tif";
  t.lOriginalFileType = 18;
  t.sTargetFile = "/out/*.pdf";
  t.lTargetFileType = 100;
  t.sExtraParams = "FALSE^^^^^^0^*^";
  return t;
}

TEST(ToDoGrid, FreshGridHoldsOnlyThePlaceholderAndAddedTasksGoBeforeIt) {
  MainForm form;
  form.InitToDoGrid(form.fgToDo);
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "*");
  EXPECT_EQ(form.fgToDo.TextMatrix(0, kColInput), "Input File(s)");
  EXPECT_EQ(form.fgToDo.TextMatrix(0, kColPass), "Pass");
  EXPECT_FALSE(form.bGridUpdateByCode);

  clsConversionOptions t = ConversionTask();
  t.bSaveInOriginalFolder = true;
  form.AddConversionItemToGrid(t, form.fgToDo);
  form.AddConversionItemToGrid(t, form.fgToDo);
  ASSERT_EQ(form.fgToDo.Rows(), 4);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColFlags), "GM");
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "1");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColNumber), "2");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColAction), "C");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColInputType), "18");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColInputExt), "tif");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColOutputExt), "PDF");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColPass), "");
  EXPECT_EQ(form.fgToDo.TextMatrix(3, kColNumber), "*");
  EXPECT_EQ(form.fgToDo.Row(), 2);  // the new row is current and selected
  EXPECT_EQ(form.fgToDo.ColSel(), kToDoCols - 1);
}

TEST(ToDoGrid, AddingToAGridNeverSetUpSetsItUpFirst) {
  MainForm form;
  form.AddConversionItemToGrid(ConversionTask(), form.fgToDo);
  EXPECT_EQ(form.fgToDo.Rows(), 3);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "1");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColNumber), "*");
}

TEST(ToDoGrid, FlagLettersOfBothWritersReadAlike) {
  MainForm form;
  form.InitToDoGrid(form.fgToDo);
  form.AddConversionItemToGrid(ConversionTask(), form.fgToDo);
  struct Case {
    std::string cell;
    bool sub, beside;
    int32_t method;
  };
  for (const Case& c : {Case{" M", false, false, 1}, Case{"M", false, false, 1}, Case{"R G M", true, true, 1},
                        Case{"RGM", true, true, 1}, Case{"G", false, true, 2}, Case{"         M", false, false, 2}}) {
    form.fgToDo.SetTextMatrix(1, kColFlags, c.cell);
    clsConversionOptions t;
    form.ReadConversionItemFromGrid(t, 1, form.fgToDo);
    EXPECT_EQ(t.bDoSubfolders, c.sub) << c.cell;
    EXPECT_EQ(t.bSaveInOriginalFolder, c.beside) << c.cell;
    EXPECT_EQ(t.lConversionMethod, c.method) << c.cell;
  }
}

TEST(ToDoGrid, ReadingHeadingsOrPlaceholderLeavesTheRecordAlone) {
  MainForm form;
  form.InitToDoGrid(form.fgToDo);
  form.AddConversionItemToGrid(ConversionTask(), form.fgToDo);
  clsConversionOptions t;
  t.sOriginalFile = "untouched";
  form.ReadConversionItemFromGrid(t, 0, form.fgToDo);
  form.ReadConversionItemFromGrid(t, 2, form.fgToDo);
  EXPECT_EQ(t.sOriginalFile, "untouched");
  EXPECT_EQ(t.lOriginalFileType, kNoFileTypeGiven);
}

TEST(ToDoGrid, RowsReadBackIntoTasks) {
  MainForm form;
  form.InitToDoGrid(form.fgToDo);
  clsConversionOptions s60;
  s60.sActionToDo = "S";
  s60.lSpecialProcess = 60;
  s60.lConversionMethod = 4;
  s60.sOriginalFile = "/usr/bin/touch";
  s60.sTargetFile = "a\\b c";
  s60.sExtraParams = "32^1^-1";
  form.AddConversionItemToGrid(s60, form.fgToDo);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColAction), "S60");
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColInputType), "-12345678");
  clsConversionOptions back;
  form.ReadConversionItemFromGrid(back, 1, form.fgToDo);
  EXPECT_EQ(back.lSpecialProcess, 60);
  EXPECT_EQ(back.sExtraParams, "32^1^-1");
  EXPECT_EQ(back.sTargetFile, "a\\b c");  // arguments are not a path

  // A stored Windows-style path reads with "/", and "0" is a type while ""
  // keeps the record's default.
  form.fgToDo.AddItem("M\tx\t2\tC\tC:\\in\\a.bmp\t0\t\t\\out\\a.pdf\t\t\t", 2);
  clsConversionOptions c;
  form.ReadConversionItemFromGrid(c, 2, form.fgToDo);
  EXPECT_EQ(c.sOriginalFile, "C:/in/a.bmp");
  EXPECT_EQ(c.sTargetFile, "/out/a.pdf");
  EXPECT_EQ(c.lOriginalFileType, 0);
  EXPECT_EQ(c.lTargetFileType, 100);
  EXPECT_EQ(form.fgToDo.Row(), 2);  // reading makes the row current
}

TEST(ToDoGrid, LogGridHeadings) {
  MainForm form;
  form.InitLogGrid(form.fgLog);
  EXPECT_EQ(form.fgLog.Rows(), 2);
  EXPECT_EQ(form.fgLog.TextMatrix(0, 7), "Output File");
  EXPECT_EQ(form.fgLog.TextMatrix(0, 11), "Status");
  EXPECT_EQ(form.fgLog.TextMatrix(0, 4), "");
  EXPECT_EQ(form.fgLog.ColAlignment(kColNumber), FlexGrid::AlignCenter);
}

}  // namespace
}  // namespace tessa
