#include "engine/editor/item_editor_panel.h"

#include <gtest/gtest.h>

#include "engine/editor/editor_views.h"
#include "engine/job/row_moves.h"
#include "engine/job/todo_grid.h"
#include "engine/job_test_support.h"

namespace tessa {
namespace {

constexpr int kTiffRow = 0, kPngRow = 4, kAutoRow = 6;

struct PanelTest : test::JobFormTest<test::ScriptedUserInterface> {
  ItemEditorPanel panel{form};
  EditorViewsInstalled views{form, panel};

  std::string Row(int r) {
    std::string s;
    for (int c = 0; c < kToDoCols; ++c) s += form.fgToDo.TextMatrix(r, c) + "|";
    return s;
  }
  // A mask task over two PNG files of in/, written beside them.
  void EditMaskTask(const std::string& folder) {
    test::WriteFile(dir.file(folder + "/a.png"), "png");
    panel.SetInputText(dir.file(folder + "/*.png"));
    panel.SetSaveToOriginalFolder(true);
  }
  void EditProgramTask(const std::string& wait) {
    panel.SelectAction(1);
    panel.SetCommandLine("\"/bin/true\"");
    panel.SetCommandLineArguments(" -x ");
    panel.SelectWindowState(2);
    panel.SetWaitTimeText(wait);
  }
};

TEST_F(PanelTest, TypeChoiceRewritesTheInputsLastExtension) {
  const struct {
    std::string input;
    int row;
    std::string expected;
  } cases[] = {
      {"/scans/a.jpg", kTiffRow, "/scans/a.tif"},
      {"/scans/*.jpg", kTiffRow, "/scans/*.tif"},
      {"/my.dir/file", kTiffRow, "/my.tif"},
      {"/scans/a.jpg", kAutoRow, "/scans/a.jpg"},
      {"/scans/a", kPngRow, "/scans/a"},
  };
  for (const auto& c : cases) {
    panel.SelectInputType(kAutoRow == c.row ? 1 : kAutoRow);  // any other row first
    panel.SetInputText(c.input);
    form.bCurrentActionItemDirty = false;
    panel.SelectInputType(c.row);
    EXPECT_EQ(panel.InputText(), c.expected) << c.input;
    EXPECT_TRUE(form.bCurrentActionItemDirty);
  }
  // Typing selects the type its extension names, whose own extension follows.
  panel.SelectInputType(kAutoRow);
  panel.SetInputText("/scans/b.TIFF");
  EXPECT_EQ(panel.State().cbFileTypeOriginal.listIndex, kTiffRow);
  EXPECT_EQ(panel.InputText(), "/scans/b.tif");
  panel.SetInputText("/scans/\"c.xyz\"");
  EXPECT_EQ(panel.State().cbFileTypeOriginal.listIndex, kTiffRow);
  EXPECT_EQ(panel.InputText(), "/scans/c.xyz");
}

TEST_F(PanelTest, OutputIsProposedForAFileAMaskAndAppend) {
  const std::string appendOptions = "TRUE^a^b^c^d^e^2^*^";
  const struct {
    std::string options, outputBefore, input, expected;
  } cases[] = {
      {"", "", "/in/*.png", "/in/*.pdf"},
      {"", "", "/in/a.png", "/in/Output File.pdf"},
      {appendOptions, "", "/in/a.png", "/in/Append.pdf"},
      {"", "/out/x.pdf", "/in/*.png", "/out/*.pdf"},
      {"", "/out/*.pdf", "/in/a.png", "/out/Output File.pdf"},
      {appendOptions, "/out/*.pdf", "/in/*.png", "/out/Append.pdf"},
      {"", "/out/x.pdf", "/in/a.png", "/out/x.pdf"},
      {"", "", "/in/noextension", ""},
      {"", "", "/a.png", "/Output File.pdf"},          // the root, not a share "//"
      {"", "/*.pdf", "a.png", "/Output File.pdf"},     // the output's folder serves
      {"", "", "a.png", ""},
  };
  const std::string plain = form.sQuirepaneAdvancedOptions;
  for (const auto& c : cases) {
    form.sQuirepaneAdvancedOptions = c.options.empty() ? plain : c.options;
    panel.SetInputText("");
    panel.SetOutputText(c.outputBefore);
    panel.SetInputText(c.input);
    EXPECT_EQ(panel.OutputText(), c.expected) << c.input << " after " << c.outputBefore;
  }
  // "Save to Input folder" is offered for a mask with a mask output only.
  EXPECT_FALSE(panel.State().cbSaveToOriginalFolderVisible);
  panel.SetInputText("/in/*.png");
  EXPECT_TRUE(panel.State().cbSaveToOriginalFolderVisible);
  EXPECT_TRUE(panel.State().cbDoSubfoldersVisible);
  panel.SetSaveToOriginalFolder(true);
  EXPECT_FALSE(panel.State().frameTargetFileVisible);
  panel.SetInputText("/in/a.png");  // a user edit unticks it and shows the output again
  EXPECT_FALSE(panel.State().cbSaveToOriginalFolder);
  EXPECT_TRUE(panel.State().frameTargetFileVisible);
}

TEST_F(PanelTest, AddWritesGMAndUpdateWritesBlankGBlankM) {
  EditMaskTask("in");
  form.cmdAdd_Click();
  ASSERT_EQ(form.fgToDo.Rows(), 3) << (ui.boxes.empty() ? "" : ui.boxes.back().prompt);
  const std::string output = dir.file("in") + "/*.PDF";
  EXPECT_EQ(Row(1), "GM|" + form.sQuirepaneAdvancedOptions + "|1|C|" + dir.file("in/*.png") + "|13|png|" + output +
                        "|100|PDF||");
  EXPECT_FALSE(form.bCurrentActionItemDirty);

  form.fgToDo.SetTextMatrix(1, kColPass, "+");
  form.resumePoints.Note(1, 3);
  panel.SetDoSubfolders(true);
  EXPECT_TRUE(form.bCurrentActionItemDirty);
  ASSERT_TRUE(form.Job().ConversionJobUpdate());
  EXPECT_EQ(Row(1), "R G M|" + form.sQuirepaneAdvancedOptions + "|1|C|" + dir.file("in/*.png") + "|13|png|" +
                        output + "|100|PDF|+|");
  EXPECT_FALSE(form.bCurrentActionItemDirty);
  EXPECT_EQ(form.resumePoints.At(1), 0);  // the updated task starts again
  panel.SetDoSubfolders(false);
  ASSERT_TRUE(panel.ConversionJobUpdate());
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColFlags), " G M");

  form.bRunning = true;  // nothing is rewritten under a running job
  panel.SetDoSubfolders(true);
  EXPECT_FALSE(panel.ConversionJobUpdate());
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColFlags), " G M");
}

TEST_F(PanelTest, SpecialProcessRowsCellsOnAddAndUpdate) {
  EditProgramTask("15");
  form.cmdAdd_Click();
  ASSERT_EQ(form.fgToDo.Rows(), 3) << (ui.boxes.empty() ? "" : ui.boxes.back().prompt);
  EXPECT_EQ(Row(1), "|32^3^15|1|S60|/bin/true|-12345678|| -x |-12345678|||");
  panel.SetWaitTimeText("&H10");
  ASSERT_TRUE(panel.ConversionJobUpdate());
  EXPECT_EQ(Row(1), "|32^3^16|1|S60|/bin/true|0|| -x |0|||");
  EXPECT_EQ(form.lConversionMethod, 4);

  // A wait time that is no number is explained; nothing changes.
  const size_t boxes = ui.boxes.size();
  panel.SetWaitTimeText("ten");
  EXPECT_FALSE(panel.ConversionJobUpdate());
  form.cmdAdd_Click();
  EXPECT_EQ(form.fgToDo.Rows(), 3);
  ASSERT_EQ(ui.boxes.size(), boxes + 2);
  EXPECT_NE(ui.boxes.back().prompt.find("ten"), std::string::npos);
  EXPECT_EQ(Row(1), "|32^3^16|1|S60|/bin/true|0|| -x |0|||");
}

TEST_F(PanelTest, EveryKindOfRowLoadsBackIntoThePanel) {
  const std::string mask = dir.file("in/*.png");
  form.fgToDo.AddItem("R G M\tTRUE^x^^^^^0^1^\t1\tC\t" + mask + "\t13\tpng\t/out/*.pdf\t100\tPDF", 1);
  form.fgToDo.AddItem("M\tFALSE^y^^^^^0^*^\t2\tC\t/in/a.bmp\t0\tbmp\t/out/a.pdf\t100\tPDF", 2);
  form.fgToDo.AddItem("\t64^6^30\t3\tS60\t/bin/prog\t0\t\t-v\t0\t", 3);
  form.fgToDo.AddItem("\t \t4\tS60\t/bin/other\t0\t\t\t0\t", 4);
  form.fgToDo.AddItem("\t \t5\tS7\t\t0\t\t\t0\t", 5);
  form.fgToDo.SetRow(3);  // a user's click
  EXPECT_EQ(panel.State().rbActionToDo, 1);
  EXPECT_TRUE(panel.State().frameSpecializedActionVisible);
  EXPECT_TRUE(panel.State().frameCommandLineVisible);
  EXPECT_EQ(panel.State().cbCommandLine, "/bin/prog");
  EXPECT_EQ(panel.State().cbCommandLineArguments, "-v");
  EXPECT_EQ(panel.State().cbCommandLineThreadPriority.ItemData(), 64);
  EXPECT_EQ(panel.State().cbCommandLineWindowState.ItemData(), 6);
  EXPECT_EQ(panel.State().txtCommandLineWaitTimeInSeconds, "30");
  EXPECT_EQ(form.lConversionMethod, 4);

  form.fgToDo.SetRow(4);  // no caret record: priority kept, state 0, no wait
  EXPECT_EQ(panel.State().cbCommandLineThreadPriority.ItemData(), 64);
  EXPECT_EQ(panel.State().cbCommandLineWindowState.ItemData(), 0);
  EXPECT_EQ(panel.State().txtCommandLineWaitTimeInSeconds, "0");
  form.fgToDo.SetRow(5);  // an unknown process: the selection and its fields stay
  EXPECT_TRUE(panel.State().frameCommandLineVisible && panel.State().cbSpecialProcesses.ItemData() == 60);

  // The method and the options come from the conversion row itself.
  form.fgToDo.SetRow(1);
  EXPECT_EQ(panel.State().rbActionToDo, 0);
  EXPECT_FALSE(panel.State().frameSpecializedActionVisible);
  EXPECT_EQ(form.lConversionMethod, 1);
  EXPECT_EQ(form.sQuirepaneAdvancedOptions, "TRUE^x^^^^^0^1^");
  EXPECT_EQ(panel.InputText(), mask);
  EXPECT_EQ(panel.OutputText(), "/out/*.pdf");
  EXPECT_EQ(panel.State().cbFileTypeOriginal.ItemData(), 13);
  EXPECT_TRUE(panel.State().cbDoSubfolders && panel.State().cbDoSubfoldersVisible);
  EXPECT_TRUE(panel.State().cbSaveToOriginalFolder && panel.State().cbSaveToOriginalFolderVisible);
  EXPECT_FALSE(panel.State().frameTargetFileVisible);

  form.fgToDo.SetRow(2);
  EXPECT_EQ(form.sQuirepaneAdvancedOptions, "FALSE^y^^^^^0^*^");
  EXPECT_EQ(panel.State().cbFileTypeOriginal.ItemData(), 0);
  EXPECT_FALSE(panel.State().cbSaveToOriginalFolder || panel.State().cbDoSubfoldersVisible);
  EXPECT_TRUE(panel.State().frameTargetFileVisible);
  EXPECT_FALSE(form.bCurrentActionItemDirty);
  EXPECT_TRUE(ui.boxes.empty());
}

TEST_F(PanelTest, LeavingAnEditedRowAsksFirst) {
  for (int n = 1; n <= 3; ++n) {
    test::WriteFile(dir.file("in/" + std::to_string(n) + ".bmp"), "BM");
    form.fgToDo.AddItem("M\t" + form.sQuirepaneAdvancedOptions + "\t" + std::to_string(n) + "\tC\t" +
                            dir.file("in/" + std::to_string(n) + ".bmp") + "\t0\tbmp\t" + dir.file("out/x.pdf") +
                            "\t100\tPDF",
                        n);
  }
  form.fgToDo.SetRow(1);
  form.Job().EnterToDoCell();
  const struct {
    int answer;
    int rowAfter;
    std::string row1Output;
  } cases[] = {{vbCancel, 1, dir.file("out/x.pdf")}, {vbNo, 2, dir.file("out/x.pdf")}, {vbYes, 2, "/tmp/y.pdf"}};
  for (const auto& c : cases) {
    form.fgToDo.SetRow(1);
    panel.SetOutputText("/tmp/y.pdf");
    ASSERT_TRUE(form.bCurrentActionItemDirty);
    const size_t boxes = ui.boxes.size();
    ui.Answer(c.answer);
    form.fgToDo.SetRow(2);
    ASSERT_EQ(ui.boxes.size(), boxes + 1);
    EXPECT_NE(ui.boxes[boxes].prompt.find("#1"), std::string::npos);
    EXPECT_EQ(form.fgToDo.Row(), c.rowAfter) << c.answer;
    EXPECT_EQ(form.fgToDo.TextMatrix(1, kColOutput), c.row1Output) << c.answer;
    // Cancel keeps the edit on its row; otherwise the panel shows row 2.
    EXPECT_EQ(panel.OutputText(), c.answer == vbCancel ? "/tmp/y.pdf" : dir.file("out/x.pdf"));
    EXPECT_EQ(form.bCurrentActionItemDirty, c.answer == vbCancel);
  }
}

TEST_F(PanelTest, ProgramFieldsAndTheRequestRow) {
  EditProgramTask("5");
  EXPECT_EQ(panel.State().cbCommandLine, "/bin/true");
  EXPECT_EQ(form.sActionToDo, "S");
  EXPECT_TRUE(panel.State().frameSpecializedActionVisible && panel.State().frameCommandLineVisible);
  ui.Answer(vbOK);
  ui.Answer(vbCancel);
  panel.SelectSpecialProcess(1);
  EXPECT_EQ(panel.State().cbSpecialProcesses.listIndex, 0);
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_NE(ui.boxes[1].prompt.find(SpecialRequestMailAddress()), std::string::npos);
  {  // a fill inside another keeps the loading flag for the outer one
    GridUpdateByCode outer(form.bGridUpdateByCode);
    panel.RefreshConvertOptionsGUI();
    EXPECT_TRUE(form.bGridUpdateByCode);
  }
  EXPECT_FALSE(form.bGridUpdateByCode);
  panel.SelectAction(0);
  EXPECT_EQ(form.sActionToDo, "C");
  EXPECT_FALSE(panel.State().frameSpecializedActionVisible);
}

TEST_F(PanelTest, MovesKeepNumbersAndCarryPassMarks) {
  for (int n = 1; n <= 5; ++n)
    form.fgToDo.AddItem("M\t\t" + std::to_string(n) + "\tC\t/in/" + std::to_string(n) + ".bmp", n);
  auto order = [&] {
    std::string s;
    for (int r = 1; r <= form.fgToDo.Rows() - 2; ++r) {
      const std::string& in = form.fgToDo.TextMatrix(r, kColInput);
      s += in.substr(4, 1) + form.fgToDo.TextMatrix(r, kColNumber) + form.fgToDo.TextMatrix(r, kColPass) + " ";
    }
    return s;
  };
  form.fgToDo.SetTextMatrix(4, kColPass, "+");
  form.fgToDo.SetRow(4);
  form.resumePoints.Note(4, 2);
  EXPECT_TRUE(MoveCurrentTask(form, TaskMove::First));
  EXPECT_EQ(order(), "41+ 12 23 34 55 ");
  EXPECT_EQ(form.fgToDo.Row(), 1);
  EXPECT_EQ(form.resumePoints.At(1), 2);  // with its task
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);

  const struct {
    int row, key, shift;
    bool moves;
    std::string after;
  } keys[] = {
      {1, 85, 2, false, "41+ 12 23 34 55 "},  // Ctrl+U on the first task
      {5, 68, 2, false, "41+ 12 23 34 55 "},  // Ctrl+D on the last task
      {6, 85, 2, false, "41+ 12 23 34 55 "},  // the placeholder
      {2, 85, 3, false, "41+ 12 23 34 55 "},  // Ctrl+Shift+U
      {1, 68, 2, true, "11 42+ 23 34 55 "},
      {5, 85, 2, true, "11 42+ 23 54 35 "},
  };
  for (const auto& k : keys) {
    form.fgToDo.SetRow(k.row);
    EXPECT_EQ(fgToDo_KeyUp(form, k.key, k.shift), k.moves) << k.row << " " << k.key;
    EXPECT_EQ(order(), k.after);
  }
  EXPECT_TRUE(MoveCurrentTask(form, TaskMove::Last));
  EXPECT_EQ(order(), "11 42+ 23 34 55 ");
  form.bRunning = true;
  form.fgToDo.SetRow(2);
  EXPECT_FALSE(MoveCurrentTask(form, TaskMove::First));
  EXPECT_EQ(order(), "11 42+ 23 34 55 ");
}

}  // namespace
}  // namespace tessa
