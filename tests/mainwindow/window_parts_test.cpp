// The grids' models, the layout's flexible columns, translation of the
// frame and form, and the smaller commands: closing a changed job, the
// scheduler's menu entry and the file manager's options start.
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QHeaderView>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QWindow>

#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "mainwindow/qt/grid_table_model.h"
#include "mainwindow/qt/scheduler_window.h"
#include "mainwindow/qt/window_start.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

TEST(GridTableModel, ForwardsEachChangeForExactlyTheRowsAndCellsThatChanged) {
  App();
  FlexGrid grid(11, 2);
  GridTableModel model(grid, kColPass);
  QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
  QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
  QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
  QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
  EXPECT_EQ(model.rowCount(), 1);
  grid.AddItem("M\t\t1\tC\ta.png", 1);
  ASSERT_EQ(inserted.count(), 1);
  EXPECT_EQ(inserted[0][1].toInt(), 0);
  EXPECT_EQ(inserted[0][2].toInt(), 0);
  grid.SetTextMatrix(1, kColPass, "-");
  ASSERT_EQ(changed.count(), 1);
  EXPECT_EQ(changed[0][0].toModelIndex(), model.index(0, kColPass));
  // The model reads the grid's own cells: no copy to go stale.
  grid.SetTextMatrix(1, kColInput, "b.png");
  EXPECT_EQ(model.index(0, kColInput).data().toString(), "b.png");
  EXPECT_FALSE(model.index(0, kColPass).data(Qt::DecorationRole).value<QIcon>().isNull());
  grid.SetTextMatrix(0, kColInput, "Input");
  EXPECT_EQ(model.headerData(kColInput, Qt::Horizontal, Qt::DisplayRole).toString(), "Input");
  grid.RemoveItem(1);
  ASSERT_EQ(removed.count(), 1);
  EXPECT_EQ(removed[0][1].toInt(), 0);
  grid.SetRows(5);
  EXPECT_EQ(reset.count(), 1);
  EXPECT_EQ(model.rowCount(), 4);
  EXPECT_EQ(changed.count(), 2);  // the heading went to headerDataChanged
}

class WindowParts : public WindowTest {};

TEST_F(WindowParts, FlexibleColumnsShareWhatTheFixedOnesLeave) {
  Open();
  int buttonWidth = -1;
  for (int width : {1100, 700}) {
    frame_->resize(width, 600);
    QApplication::processEvents();
    QTableView* todo = Form().ToDoView();
    QHeaderView* h = todo->horizontalHeader();
    int fixed = 0;
    for (int c : {2, 3, 6, 9, 10}) fixed += h->sectionSize(c);
    EXPECT_EQ(h->sectionSize(kColInput), h->sectionSize(kColOutput)) << width;
    EXPECT_EQ(h->sectionSize(kColInput), (todo->viewport()->width() - fixed) / 2 - 13) << width;
    // The browse buttons keep their width; the input field takes the change.
    const int now = Form().findChild<QPushButton*>("cmdSelectSourceFile")->width();
    if (buttonWidth >= 0) {
      EXPECT_EQ(now, buttonWidth);
    }
    buttonWidth = now;
  }
}

TEST_F(WindowParts, FrameAndFormAreTranslatedOnceEach) {
  WriteFile(dir_.path() / "data" / "Languages" / "French-Tessalumen.txt",
            "\"&File\",\"&Fichier\"\r\n\"Convert\",\"Convertir\"\r\n\"Log\",\"Journal\"\r\n"
            "\"Task:\",\"Tache :\"\r\n\"Do Subfolders\",\"Sous-dossiers\"\r\n");
  WriteIniString(sIniFile, "Language", "Language_Code", "French");
  InitializeTranslator();
  Open();
  EXPECT_EQ(frame_->findChild<QMenu*>("mnuFile")->title(), "&Fichier");
  EXPECT_EQ(Act("keyConvert")->text(), "Convertir");
  EXPECT_EQ(Form().Tabs()->tabText(1), "Journal");
  EXPECT_EQ(Form().findChild<QCheckBox*>("cbDoSubfolders")->text(), "Sous-dossiers");
  // A text translated twice would be looked up in its translation and
  // appended to the language file as a new text.
  const std::string file = ReadFile(dir_.path() / "data" / "Languages" / "French-Tessalumen.txt");
  for (const char* twice : {"\"&Fichier\"\r\n", "\"Convertir\"\r\n", "\"Journal\"\r\n", "\"Tache :\"\r\n", "\"-1\""})
    EXPECT_EQ(file.find(std::string("\r\n") + twice), std::string::npos) << twice;
  frame_.reset();
  ResetTranslator();
}

TEST_F(WindowParts, ClosingAChangedJobAsksAndSavesTheSettingsWhateverTheAnswer) {
  Open();
  const std::string job = WriteJob({"a.png", "b.png"}, "jobs/job.ZOL");
  ASSERT_TRUE(frm_.ConversionJobOpen(job));
  frm_.bAskToSaveZolFileBeforeExit = true;
  std::filesystem::remove_all(dir_.path() / "jobs");
  ui_->answers = {vbYes, vbOK, vbNo};
  frame_->close();
  EXPECT_FALSE(frame_->Unloaded()) << "the save failed: the job stays";
  frame_->close();
  ASSERT_EQ(ui_->boxes.size(), 3u);
  EXPECT_EQ(ui_->boxes[0], "Save Conversion Job?");
  EXPECT_EQ(Ini("frmMain", "sActionToDO"), "C");
}

TEST_F(WindowParts, TheTitleShowsTheJobsNameAndANewJobsCaptionAsItIs) {
  Open();
  EXPECT_EQ(frame_->windowHandle()->title(), "Tessalumen - [*]");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({"a.png"})));
  EXPECT_EQ(frame_->windowHandle()->title(), "Tessalumen - [job.ZOL]");
  Act("mnuNewConversionJob")->trigger();
  EXPECT_EQ(frame_->windowHandle()->title(), "Tessalumen - [*]");
}

struct Scheduler : SchedulerWindow {
  void ShowModal() override { ++shown; }
  int shown = 0;
};

TEST_F(WindowParts, TheSchedulerEntryShowsTheDialogAndClearsALeftOverCountdown) {
  Open();
  auto scheduler = std::make_unique<Scheduler>();
  Scheduler& s = *scheduler;
  Form().SetSchedulerWindow(std::move(scheduler));
  frm_.frmSched_DisplayTimeRemainingEvent(0, 1, 2, 3);
  EXPECT_TRUE(frame_->windowTitle().startsWith("1 hours : 2 minutes"));
  Act("mnuScheduleConversionJob")->trigger();
  EXPECT_EQ(s.shown, 1);
  EXPECT_TRUE(frame_->windowTitle().startsWith("'Tessalumen'"));
}

TEST_F(WindowParts, FileManagerOptionsOfASpecialProcessOpenItsPanel) {
  WriteIniString(sIniFile, "frmMain", "bWarnedAboutChangingOptionsFromShellExtender", "TRUE");
  Open();
  clsConversionOptions record;
  record.lSpecialProcess = 60;
  ShowShellExtenderOptions(*frame_, record);
  EXPECT_TRUE(Form().findChild<QRadioButton*>("rbActionToDo_1")->isChecked());
  EXPECT_TRUE(Form().findChild<QWidget*>("frameSpecializedAction")->isVisible());
  EXPECT_EQ(Form().findChild<QComboBox*>("cbSpecialProcesses")->currentData().toInt(), 60);
  frame_->close();
  EXPECT_EQ(Ini("frmMain", "sActionToDO"), "S");
  EXPECT_EQ(Ini("frmMain", "bWarnedAboutChangingOptionsFromShellExtender"), "TRUE");
}

}  // namespace
}  // namespace tessa::test
