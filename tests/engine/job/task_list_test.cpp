#include "engine/job/task_list.h"

#include <gtest/gtest.h>

#include "engine/main_form.h"
#include "engine/job/todo_grid.h"
#include "engine/job_test_support.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

struct TaskListTest : test::JobFormTest<test::ScriptedUserInterface> {
  TaskListTest() {
    for (int i = 1; i <= 4; ++i) test::WriteFile(In(i), "BM");
    clsConversionOptions t;
    t.lOriginalFileType = 0;
    t.sTargetFile = dir.file("out/a.pdf");
    view.editor = t;
  }
  std::string In(int i) { return dir.file("in/" + std::to_string(i) + ".bmp"); }
  std::string Numbers() {
    std::string s;
    for (int r = 1; r < form.fgToDo.Rows(); ++r) s += form.fgToDo.TextMatrix(r, kColNumber) + ",";
    return s;
  }
};

TEST_F(TaskListTest, AddAndRemoveKeepNumbersAndThePlaceholder) {
  for (int i = 0; i < 4; ++i) {
    view.editor->sOriginalFile = In(i + 1);
    form.cmdAdd_Click();
  }
  EXPECT_EQ(Numbers(), "1,2,3,4,*,");
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);
  form.fgToDo.SetRow(2);
  form.cmdRemove_Click();
  EXPECT_EQ(Numbers(), "1,2,3,*,");
  EXPECT_EQ(form.fgToDo.TextMatrix(2, kColInput), In(3));

  form.fgToDo.SetRow(form.fgToDo.Rows() - 1);  // the placeholder stays
  form.RemoveActionItem();
  form.RemoveAllFilesWithJobNumber(form.fgToDo.Rows() - 1);
  form.RemoveAllFilesWithJobNumber(0);
  EXPECT_EQ(Numbers(), "1,2,3,*,");

  for (int i = 0; i < 3; ++i) {
    form.fgToDo.SetRow(1);
    form.RemoveActionItem();
  }
  EXPECT_EQ(Numbers(), "*,");
  form.RemoveActionItem();
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_EQ(Numbers(), "*,");
}

TEST_F(TaskListTest, AnInvalidEditorTaskIsExplainedAndNotAdded) {
  view.editor->sOriginalFile = dir.file("in/missing.bmp");
  ui.Answer(vbNo);  // do not add it anyway
  EXPECT_FALSE(form.AddFileToConvertGUI());
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_FALSE(ui.boxes.empty());
}

TEST_F(TaskListTest, WithoutAnEditorPanelNothingIsAdded) {
  view.editor.reset();
  EXPECT_FALSE(form.AddFileToConvertGUI());
  EXPECT_EQ(form.fgToDo.Rows(), 2);
}

TEST(TimeRemaining, CountdownCaption) {
  EXPECT_EQ(TimeRemainingCaption(0, 2, 0, 5), "2 hours : 5 seconds before next run.");
  EXPECT_EQ(TimeRemainingCaption(1, 0, 0, 0), "1 days : 0 seconds before next run.");
  EXPECT_EQ(TimeRemainingCaption(0, 0, 3, 1), "3 minutes : 1 seconds before next run.");
  EXPECT_EQ(TimeRemainingCaption(0, 0, 0, 0), "Job is Running");
  MainForm form;
  test::FakeJobView view;
  form.SetJobView(&view);
  form.frmSched_DisplayTimeRemainingEvent(0, 0, 0, 0);
  EXPECT_EQ(view.frameCaption, "Job is Running");
}

}  // namespace
}  // namespace tessa
