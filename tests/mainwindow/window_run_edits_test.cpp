// What the user does between and during runs: a paused append goes on where
// it stopped, and after a run the editor panel edits the highlighted task.
#include <QComboBox>
#include <QTableView>

#include "engine/job/todo_grid.h"
#include "support/pdf_report.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

class WindowRunEdits : public WindowTest {
 protected:
  QComboBox* Combo(const char* name) { return Form().findChild<QComboBox*>(name); }
  int Pages(const std::string& pdf) { return std::atoi(InfoField(PdfInfo(pdf), "Pages").c_str()); }
  // A job line of task n: PNG input to PDF output with the PDF options record.
  static std::string Task(int n, const std::string& in, const std::string& out, bool bAppend = false) {
    return "M\t" + std::string(bAppend ? "TRUE" : "FALSE") + "^^^^^^0^*^\t" + std::to_string(n) + "\tC\t" + in +
           "\t13\tpng\t" + out + "\t100\tPDF\t\t\r\n";
  }
};

// Task 1 appends six images into one PDF and is paused after two; task 2 is
// moved above it (Ctrl+U) or updated. After the next run Update writes the
// task that the panel and the highlight show, task 1 either way: the last
// one run when the output is typed after the run, the one the panel showed
// when it is typed during the run.
TEST_F(WindowRunEdits, APausedAppendGoesOnAfterAMoveOrUpdateAndTheEditorWritesTheHighlightedTask) {
  for (const bool bMove : {true, false}) {
    SCOPED_TRACE(bMove ? "Ctrl+U on task 2, typed after the run" : "Update of task 2, typed during the run");
    Open();
    std::filesystem::remove_all(dir_.path() / "out");
    for (int i = 1; i <= 6; ++i) WriteImage("in/p" + std::to_string(i) + ".png");
    const std::string all = dir_.file("out/all.pdf"), b = WriteImage("b.png");
    const QString edited = QString::fromStdString(dir_.file("out/e.pdf"));
    ASSERT_TRUE(frm_.ConversionJobOpen(WriteFile(
        dir_.path() / "append.ZOL", Task(1, dir_.file("in/*.png"), all, true) + Task(2, b, dir_.file("out/b.pdf")))));
    ui_->onYield = [&] {
      if (Pages(all) == 2) Act("keyPause")->trigger();
    };
    Act("keyConvert")->trigger();
    QTableView* grid = Form().ToDoView();
    auto click = [&](int row) {
      QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                        grid->visualRect(grid->model()->index(row - 1, kColInput)).center());
    };
    click(2);
    if (bMove) {
      ActivateAndFocus(grid);
      QTest::keyClick(grid, Qt::Key_U, Qt::ControlModifier);
    } else {
      Combo("cbTargetFile")->setEditText(QString::fromStdString(dir_.file("out/b2.pdf")));
      Act("mnuUpdateConversionJob")->trigger();
      click(1);
    }
    const int row = bMove ? 2 : 1;  // task 1's
    ASSERT_EQ(frm_.fgToDo.TextMatrix(row, kColOutput), all);
    ASSERT_EQ(frm_.fgToDo.TextMatrix(3 - row, kColOutput), dir_.file(bMove ? "out/b.pdf" : "out/b2.pdf"));

    ui_->onYield = [&] {
      if (!bMove) Combo("cbTargetFile")->setEditText(edited);
    };
    Act("keyConvert")->trigger();
    EXPECT_EQ(Pages(all), 6);
    EXPECT_TRUE(PdfIsSound(all));
    QApplication::processEvents();
    EXPECT_EQ(frm_.fgToDo.Row(), row);
    EXPECT_EQ(grid->currentIndex().row(), row - 1);
    EXPECT_EQ(Combo("cbOriginalFile")->currentText().toStdString(), dir_.file("in/*.png"));
    if (bMove) Combo("cbTargetFile")->setEditText(edited);
    Act("mnuUpdateConversionJob")->trigger();
    EXPECT_EQ(frm_.fgToDo.TextMatrix(row, kColOutput), edited.toStdString());
    EXPECT_EQ(frm_.fgToDo.TextMatrix(3 - row, kColInput), b);
  }
}

// Task 2 of three is paused after two of its six pages, and the finished
// task 1 is moved below it (Ctrl+D). Begin goes on with task 2 and task 3
// and leaves task 1, which carries its mark, as it was; after Rewind every
// task runs again.
TEST_F(WindowRunEdits, BeginSkipsAMarkedTaskBelowTheStartPointAndRewindClearsTheMarks) {
  Open();
  for (int i = 1; i <= 6; ++i) WriteImage("in/p" + std::to_string(i) + ".png");
  const std::string one = dir_.file("out/one.pdf"), six = dir_.file("out/six.pdf"), c = dir_.file("out/c.pdf");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteFile(
      dir_.path() / "marks.ZOL", Task(1, WriteImage("a.png"), one, true) + Task(2, dir_.file("in/*.png"), six, true) +
                                     Task(3, WriteImage("c.png"), c))));
  ui_->onYield = [&] {
    if (Pages(six) == 2) Act("keyPause")->trigger();
  };
  Act("keyConvert")->trigger();
  ui_->onYield = nullptr;
  ASSERT_EQ(Pages(six), 2);
  QTableView* grid = Form().ToDoView();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(0, kColInput)).center());
  ActivateAndFocus(grid);
  QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
  ASSERT_EQ(frm_.fgToDo.TextMatrix(2, kColOutput), one);
  Act("keyConvert")->trigger();
  EXPECT_EQ(Pages(one), 1);
  EXPECT_EQ(Pages(six), 6);
  EXPECT_TRUE(std::filesystem::exists(c));
  frm_.ConversionJobRewind();
  Act("keyConvert")->trigger();
  EXPECT_EQ(Pages(one), 2);
}

// Edits typed into the panel and not yet applied are asked about before the
// window closes or another job replaces this one, as on a row change:
// Cancel keeps the window and the edits, Yes applies them before the job is
// saved.
TEST_F(WindowRunEdits, PanelEditsAreAskedAboutBeforeTheWindowClosesOrTheJobIsReplaced) {
  Open();
  const std::string job = WriteFile(dir_.path() / "job.ZOL", Task(1, WriteImage("a.png"), dir_.file("out/a.pdf")) +
                                                                Task(2, WriteImage("b.png"), dir_.file("out/b.pdf")));
  const std::string other = WriteJob({"c.png"}, "other.ZOL");
  ASSERT_TRUE(frm_.ConversionJobOpen(job));
  const QString edited = QString::fromStdString(dir_.file("out/edited.pdf"));
  Combo("cbTargetFile")->setEditText(edited);
  ui_->answers = {vbCancel};
  Act("mnuExit")->trigger();
  QApplication::processEvents();
  ASSERT_EQ(ui_->boxes.size(), 1u);
  EXPECT_NE(ui_->boxes[0].find("#1"), std::string::npos) << ui_->boxes[0];
  EXPECT_FALSE(frame_->Unloaded());
  EXPECT_EQ(Combo("cbTargetFile")->currentText(), edited);
  ui_->answers = {vbYes, vbYes};  // apply the edits, then save the job
  EXPECT_TRUE(frm_.ConversionJobOpen(other));  // as a recent job opens
  EXPECT_NE(ReadFile(job).find(edited.toStdString()), std::string::npos);
  EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColInput), "c.png");
}

}  // namespace
}  // namespace tessa::test
