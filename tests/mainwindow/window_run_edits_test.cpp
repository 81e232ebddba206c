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

// Task 1, paused after and moved down (Ctrl+D), keeps its mark until Rewind.
TEST_F(WindowRunEdits, BeginSkipsAMarkedTaskBelowTheStartPointAndRewindClearsTheMarks) {
  Open();
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({"a.png", "b.png", "c.png"})));
  std::string ran;
  frm_.blockRunner = [&](int32_t, clsConversionOptions& co, int32_t& ret) {
    ran += co.sOriginalFile.substr(0, 1), ret = 0;
    if (ran == "a") frm_.bRunning = false;
  };
  Act("keyConvert")->trigger();
  QTableView* grid = Form().ToDoView();
  ActivateAndFocus(grid);
  QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
  ASSERT_EQ(frm_.fgToDo.TextMatrix(2, kColInput), "a.png");
  Act("keyConvert")->trigger();
  Act("keyRewind")->trigger();
  Act("keyConvert")->trigger();
  EXPECT_EQ(ran, "abcbac");
}

// Unapplied panel edits are asked about before closing or replacing the job.
TEST_F(WindowRunEdits, PanelEditsAreAskedAboutBeforeTheWindowClosesOrTheJobIsReplaced) {
  Open();
  const std::string job = WriteFile(dir_.path() / "job.ZOL", Task(1, WriteImage("a.png"), dir_.file("a.pdf")) +
                                                                Task(2, WriteImage("b.png"), dir_.file("b.pdf")));
  ASSERT_TRUE(frm_.ConversionJobOpen(job));
  Combo("cbTargetFile")->setEditText(QString::fromStdString(dir_.file("edited.pdf")));
  ui_->answers = {vbCancel};
  Act("mnuExit")->trigger();
  EXPECT_FALSE(frame_->Unloaded());
  ui_->answers = {vbYes, vbYes};  // apply the edits, then save the job
  EXPECT_TRUE(frm_.ConversionJobOpen(WriteJob({"c.png"}, "other.ZOL")));  // as a recent job opens
  EXPECT_NE(ReadFile(job).find(dir_.file("edited.pdf")), std::string::npos);
}
}  // namespace
}  // namespace tessa::test
