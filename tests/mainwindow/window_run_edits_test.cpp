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

TEST_F(WindowRunEdits, APausedAppendGoesOnAtItsNextFileAfterAMoveOrAnUpdateOfAnotherTask) {
  for (const bool bMove : {true, false}) {
    SCOPED_TRACE(bMove ? "Ctrl+U on the other task" : "Update of the other task");
    Open();
    std::filesystem::remove_all(dir_.path() / "out");
    for (int i = 1; i <= 6; ++i) WriteImage("in/p" + std::to_string(i) + ".png");
    const std::string all = dir_.file("out/all.pdf"), other = dir_.file("out/b2.pdf");
    ASSERT_TRUE(frm_.ConversionJobOpen(WriteFile(dir_.path() / "append.ZOL",
                                                 Task(1, dir_.file("in/*.png"), all, true) +
                                                     Task(2, WriteImage("b.png"), dir_.file("out/b.pdf")))));
    ui_->onYield = [&] {
      if (Pages(all) == 2) Act("keyPause")->trigger();
    };
    Act("keyConvert")->trigger();
    ui_->onYield = nullptr;
    QTableView* grid = Form().ToDoView();
    const QPoint task2 = grid->visualRect(grid->model()->index(1, kColInput)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, task2);
    if (bMove) {
      ActivateAndFocus(grid);
      QTest::keyClick(grid, Qt::Key_U, Qt::ControlModifier);
    } else {
      Combo("cbTargetFile")->setEditText(QString::fromStdString(other));
      Act("mnuUpdateConversionJob")->trigger();
    }
    ASSERT_EQ(frm_.fgToDo.TextMatrix(bMove ? 2 : 1, kColOutput), all);
    ASSERT_EQ(frm_.fgToDo.TextMatrix(2, kColOutput), bMove ? all : other);
    Act("keyConvert")->trigger();
    EXPECT_EQ(Pages(all), 6);
    EXPECT_TRUE(PdfIsSound(all));
  }
}

// Edits typed while the job ran belong to the task the panel showed; an
// unedited panel shows the task the run ended on.
TEST_F(WindowRunEdits, AfterARunTheEditorAndTheHighlightShowOneTaskAndUpdateWritesIt) {
  for (const bool bTypedDuringRun : {false, true}) {
    SCOPED_TRACE(bTypedDuringRun ? "typed during the run" : "typed after the run");
    Open();
    const std::string a = WriteImage("in/a.png"), b = WriteImage("in/b.png");
    ASSERT_TRUE(frm_.ConversionJobOpen(
        WriteFile(dir_.path() / "two.ZOL", Task(1, a, dir_.file("out/1.pdf")) + Task(2, b, dir_.file("out/2.pdf")))));
    const QString edited = QString::fromStdString(dir_.file("out/edited.pdf"));
    if (bTypedDuringRun) ui_->onYield = [&] { Combo("cbTargetFile")->setEditText(edited); };
    Act("keyConvert")->trigger();
    ui_->onYield = nullptr;
    QApplication::processEvents();
    const int row = bTypedDuringRun ? 1 : 2;
    EXPECT_EQ(frm_.fgToDo.Row(), row);
    EXPECT_EQ(Form().ToDoView()->currentIndex().row(), row - 1);
    EXPECT_EQ(Combo("cbOriginalFile")->currentText().toStdString(), frm_.fgToDo.TextMatrix(row, kColInput));
    if (!bTypedDuringRun) Combo("cbTargetFile")->setEditText(edited);
    Act("mnuUpdateConversionJob")->trigger();
    EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColInput) + frm_.fgToDo.TextMatrix(2, kColInput), a + b);
    EXPECT_EQ(frm_.fgToDo.TextMatrix(row, kColOutput), edited.toStdString());
  }
}

}  // namespace
}  // namespace tessa::test
