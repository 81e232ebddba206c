// The window's settings, its option lists, a run from the toolbar with its
// end-of-run notice, the open-only start, and closing during a run.
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <filesystem>

#include "engine/job/todo_grid.h"
#include "engine/program/program_startup.h"
#include "mainwindow/qt/grid_table_model.h"
#include "mainwindow/qt/scheduler_window.h"
#include "mainwindow/qt/status_panels.h"
#include "mainwindow/qt/window_start.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

class MainWindow : public WindowTest {};

QComboBox* Combo(MainFormWidget& form, const char* name) { return form.findChild<QComboBox*>(name); }

TEST_F(MainWindow, FirstStartShowsTheDefaultsAndClosingWritesBothSections) {
  Open();
  MainFormWidget& form = Form();
  EXPECT_EQ(Combo(form, "cbCommandLineWindowState")->currentText(), "Normal");
  EXPECT_EQ(Combo(form, "cbCommandLineThreadPriority")->currentText(), "Normal");
  EXPECT_EQ(Combo(form, "cbFileTypeOriginal")->currentIndex(), 0);
  EXPECT_EQ(form.findChild<QLineEdit*>("txtCommandLineWaitTimeInSeconds")->text(), "-1");
  EXPECT_FALSE(form.findChild<QCheckBox*>("cbDoSubfolders")->isChecked());
  EXPECT_TRUE(frm_.bContinueFileListingOnError);
  EXPECT_FALSE(frm_.bSkipProcessedFiles);
  // Default placement: 13000 x 9420 twips at 150, 150.
  EXPECT_EQ(frame_->size(), QSize(13000 / 15, 9420 / 15));

  // The retry with autodetection opens ticked; unticking it is stored.
  OnNextModal<QDialog>([](QDialog* d) {
    d->findChild<QCheckBox*>("cbTryAutodetectIfFailed")->click();
    d->findChild<QPushButton*>("cmdApply")->click();
  });
  Act("mnuOptions")->trigger();
  Combo(form, "cbFileTypeOriginal")->setCurrentIndex(4);
  Form().ToDoView()->setColumnHidden(kColPass, true);
  frame_->move(300, 200);
  frame_->close();
  EXPECT_TRUE(frame_->Unloaded());
  EXPECT_EQ(Ini("frmMainMDI", "bFirstTimeUser"), "True");
  EXPECT_EQ(Ini("frmMainMDI", "WindowState"), "0");
  EXPECT_EQ(Ini("frmMainMDI", "Left"), "4500");
  EXPECT_EQ(Ini("frmMainMDI", "Width"), "12990");  // whole pixels of 13000 twips
  EXPECT_EQ(Ini("frmMain", "bContinueFileListingOnError"), "TRUE");
  EXPECT_EQ(Ini("frmMain", "bTryAutodetectIfFailed"), "FALSE");
  EXPECT_EQ(Ini("frmMain", "sQuirepaneAdvancedOptions"), kDefaultAdvancedOptions);
  EXPECT_EQ(Ini("frmMain", "fgToDo.ColWidth(2)"), "450");
  EXPECT_EQ(Ini("frmMain", "fgLog.ColWidth(7)"), "3870");  // whole pixels of 3875 twips
  EXPECT_EQ(Ini("frmMain", "fgToDo.ColWidth(10)"), "0");
  EXPECT_EQ(Ini("frmMain", "cbFileTypeOriginal.ListIndex"), "4");
  EXPECT_EQ(Ini("frmMain", "sActionToDO"), "C");
  EXPECT_EQ(Ini("frmMain", "txtCommandLineWaitTimeInSeconds"), "-1");
  EXPECT_EQ(Ini("frmTypeMatchNotification", "bDontShowFileMismatchAgain"), "False");

  // The next start restores them; a stored width of 0 hides its column.
  Open();
  EXPECT_EQ(Combo(Form(), "cbFileTypeOriginal")->currentIndex(), 4);
  EXPECT_TRUE(Form().ToDoView()->isColumnHidden(kColPass));
  EXPECT_EQ(frame_->pos(), QPoint(300, 200));
  // Maximised: the state is written, the normal placement kept.
  frame_->showMaximized();
  frame_->close();
  EXPECT_EQ(Ini("frmMainMDI", "WindowState"), "2");
  EXPECT_EQ(Ini("frmMainMDI", "Left"), "4500");
}

TEST_F(MainWindow, StoredValuesThatDoNotFitGiveTheDefaultsAndOffScreenPlacesComeBack) {
  WriteIniString(sIniFile, "frmMain", "cbCommandLineWindowState.ListIndex", "9");
  WriteIniString(sIniFile, "frmMain", "fgToDo.ColWidth(2)", "wide");
  WriteIniString(sIniFile, "frmMainMDI", "Top", "120000");
  WriteIniString(sIniFile, "frmMainMDI", "Left", "4500");
  WriteIniString(sIniFile, "frmMainMDI", "bFirstTimeUser", "true");
  Open();
  EXPECT_EQ(Combo(Form(), "cbCommandLineWindowState")->currentIndex(), 1);
  EXPECT_EQ(Form().ToDoView()->horizontalHeader()->sectionSize(kColNumber), 450 / 15);
  EXPECT_EQ(frame_->pos(), QPoint(300, 10));  // the stored left kept
  frame_->close();
  EXPECT_EQ(Ini("frmMainMDI", "bFirstTimeUser"), "False");
}

TEST_F(MainWindow, CommandLineAndHiddenRunsWriteNoSettings) {
  const std::string image = WriteImage("in/a.png");
  StartupOutcome run = Main(frm_, {"/S", image, "/F", "13", "/T", dir_.file("out/a.pdf")});
  ASSERT_EQ(run.road, StartupRoad::kEnd);
  ASSERT_EQ(run.exitCode, 0);
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "out" / "a.pdf"));
  const std::string after = ReadFile(sIniFile);
  EXPECT_EQ(after.find("[frmMain"), std::string::npos);

  // A hidden form of a command-line run loads and closes without writing,
  // and never arms a schedule that was left running.
  WriteIniString(sIniFile, "frmScheduler", "chkPersistRunning", "1");
  const std::string before = ReadFile(sIniFile);
  bCommandLineMode = true;
  Open(false);
  frame_->close();
  EXPECT_EQ(ReadFile(sIniFile), before);
}

struct Armable : SchedulerWindow {
  void StartTimer() override { ++starts; }
  void ShowModal() override {}
  int starts = 0;
};

TEST_F(MainWindow, ALeftRunningScheduleIsArmedOnlyForAShownWindow) {
  WriteIniString(sIniFile, "frmScheduler", "chkPersistRunning", "1");
  Open(false);
  auto scheduler = std::make_unique<Armable>();
  Armable& s = *scheduler;
  Form().SetSchedulerWindow(std::move(scheduler));
  Form().StartPersistedSchedule();
  EXPECT_EQ(s.starts, 0);
  frame_->show();
  Form().StartPersistedSchedule();
  EXPECT_EQ(s.starts, 1);
}

TEST_F(MainWindow, ComboTablesHoldTheirRowsAndCodes) {
  Open();
  struct Expected {
    const char* combo;
    std::vector<std::pair<int, const char*>> rows;  // index of row, code
    int count;
  };
  const Expected cases[] = {
      {"cbFileTypeOriginal", {{0, "18"}, {1, "2"}, {3, "40"}, {6, "-1"}, {15, "8"}, {23, "21"}}, 24},
      {"cbFileTypeTarget", {{0, "100"}}, 1},
      {"cbSpecialProcesses", {{0, "60"}, {1, "-1"}}, 2},
      {"cbCommandLineWindowState", {{0, "0"}, {1, "1"}, {2, "3"}, {3, "6"}}, 4},
      {"cbCommandLineThreadPriority", {{0, "64"}, {1, "32"}, {2, "128"}, {3, "256"}}, 4},
  };
  for (const Expected& e : cases) {
    QComboBox* cb = Combo(Form(), e.combo);
    ASSERT_NE(cb, nullptr) << e.combo;
    EXPECT_EQ(cb->count(), e.count) << e.combo;
    for (auto [index, code] : e.rows) EXPECT_EQ(cb->itemData(index).toString(), code) << e.combo << " " << index;
  }
  QComboBox* input = Combo(Form(), "cbFileTypeOriginal");
  EXPECT_EQ(input->itemText(0), "[18] Tagged Image File Format (*.tif)");
  EXPECT_EQ(input->itemText(3), "[40] GIF (*.gif)");
  EXPECT_EQ(input->itemText(6), "[-1] AutoDetect");
  EXPECT_EQ(input->itemText(23), "[21] Dr. Halo (*.cut)");
  EXPECT_EQ(Combo(Form(), "cbFileTypeTarget")->itemText(0), "[100] Adobe (PDF)");
  EXPECT_EQ(Combo(Form(), "cbSpecialProcesses")->itemText(1), "I NEED SOMETHING NOT LISTED!!!!!!!");
  EXPECT_EQ(Combo(Form(), "cbCommandLineThreadPriority")->itemText(3), "Realtime Priority");
}

TEST_F(MainWindow, ARunFromTheToolbarFillsTheLogAndThePassMarksThenAnnouncesItsEnd) {
  Open();
  const std::string good = WriteImage("in/good.png");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({good, dir_.file("in/missing.png"), good})));
  EXPECT_EQ(ui_->pointer, "[]");  // busy while the job loaded
  Act("keyConvert")->trigger();
  EXPECT_EQ(ui_->pointer, "[][][][]");  // and while each task listed its files
  EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColPass), "+");
  EXPECT_EQ(frm_.fgToDo.TextMatrix(2, kColPass), "-");
  EXPECT_EQ(frm_.fgToDo.TextMatrix(3, kColPass), "+");
  EXPECT_TRUE(std::filesystem::exists(dir_.path() / "out" / "3.pdf"));
  // The log view shows the failed task's row, the marks as pictures.
  QAbstractItemModel* log = Form().LogView()->model();
  ASSERT_EQ(frm_.fgLog.Rows(), 3);
  ASSERT_EQ(log->rowCount(), 2);
  EXPECT_EQ(log->index(0, kColNumber).data().toString(), "2");
  EXPECT_EQ(frm_.fgLog.TextMatrix(1, kColPass), "-");
  EXPECT_FALSE(log->index(0, kColStatus).data().toString().isEmpty());
  const QModelIndex mark = Form().ToDoView()->model()->index(1, kColPass);
  EXPECT_FALSE(mark.data(Qt::DecorationRole).value<QIcon>().isNull());
  EXPECT_EQ(mark.data(Qt::DisplayRole).toString(), "");
  EXPECT_EQ(Form().ToDoView()->currentIndex().row(), 2);  // the current row followed the run
  StatusPanels* panels = StatusPanels::Of(*frame_);
  EXPECT_EQ(panels->Text(6).toStdString(), " 100 Percent Complete ");
  EXPECT_EQ(panels->Text(3), "-");
  EXPECT_TRUE(Act("keyRewind")->isEnabled());

  // The end-of-run notice: four ticks, the panel changing on each, then off
  // with the panel enabled.
  ASSERT_TRUE(Form().Timer1().isActive());
  std::vector<bool> bright;
  for (int i = 0; i < 4; ++i) {
    Form().Timer1Tick();
    bright.push_back(panels->Panel(6)->isEnabled());
  }
  EXPECT_EQ(bright, (std::vector<bool>{false, true, false, true}));
  EXPECT_FALSE(Form().Timer1().isActive());
  Act("keyRewind")->trigger();
  EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColPass), "");
  EXPECT_EQ(log->rowCount(), 1);
}

// A log row for a listed name holding "?" would run again as a mask: saving
// the log as a job leaves it out and says so.
TEST_F(MainWindow, SavingTheLogAsAJobSaysWhichRowsItLeftOut) {
  Open();
  const std::string odd = WriteImage("in/q?.png");
  frm_.fgLog.AddRow({"M", "", "7", "C", odd, "13", "png", dir_.file("q?.pdf"), "100", "PDF", "-", "failed"}, 1);
  ASSERT_TRUE(frm_.SaveLogAsConversionJob(dir_.file("log.ZOL")));
  EXPECT_EQ(ReadFile(dir_.path() / "log.ZOL"), "");
  EXPECT_NE(ui_->boxes.at(0).find("Job # 7 - " + odd), std::string::npos);
}

TEST_F(MainWindow, OpenOnlyStartShowsTheJobWithoutRunningIt) {
  const std::string job = WriteJob({WriteImage("in/a.png"), WriteImage("in/b.png")});
  StartupOutcome outcome = Main(frm_, {"/O", "/J", job});
  ASSERT_EQ(outcome.road, StartupRoad::kMainWindow);
  frame_ = ShowMainWindow(frm_);
  EXPECT_TRUE(frame_->isVisible());
  EXPECT_FALSE(bCommandLineMode);
  EXPECT_EQ(Form().ToDoView()->model()->rowCount(), 3);
  EXPECT_EQ(frm_.fgToDo.TextMatrix(2, kColInput), dir_.file("in/b.png"));
  EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColPass), "");
  EXPECT_EQ(frm_.fgLog.Rows(), 2);
  EXPECT_FALSE(std::filesystem::exists(dir_.path() / "out"));
  EXPECT_TRUE(frame_->windowTitle().contains("job.ZOL"));
  EXPECT_EQ(Form().Histories().JobFileAt(1), job);
  EXPECT_EQ(Combo(Form(), "cbOriginalFile")->currentText().toStdString(), dir_.file("in/a.png"));
  // A click on a task loads it into the editor panel.
  QTableView* grid = Form().ToDoView();
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, kColInput)).center());
  EXPECT_EQ(frm_.fgToDo.Row(), 2);
  EXPECT_EQ(Combo(Form(), "cbOriginalFile")->currentText().toStdString(), dir_.file("in/b.png"));
  // Its settings are the window's: closing writes them.
  frame_->close();
  EXPECT_EQ(Ini("frmMainMDI", "WindowState"), "0");
}

TEST_F(MainWindow, ClosingDuringARunFinishesTheTaskThenCloses) {
  Open();
  const std::string good = WriteImage("in/good.png");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({good, good, good})));
  int blocks = 0;
  frm_.blockRunner = [&](int32_t, clsConversionOptions&, int32_t& ret) {
    ++blocks;
    frame_->close();
    EXPECT_FALSE(frame_->Unloaded());
    ret = 0;
  };
  Act("keyConvert")->trigger();
  EXPECT_EQ(blocks, 1);
  EXPECT_EQ(frm_.fgToDo.TextMatrix(1, kColPass), "+");
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->Unloaded(); }, 20000));  // QTRY_* would not fail a gtest
  EXPECT_EQ(Ini("frmMainMDI", "WindowState"), "0");
}

TEST_F(MainWindow, AClosingDuringARunThatTheSaveRefusesLeavesALaterOneToClose) {
  Open();
  const std::string good = WriteImage("in/good.png");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({good, good}, "jobs/job.ZOL")));
  std::filesystem::remove_all(dir_.path() / "jobs");
  frm_.blockRunner = [&](int32_t, clsConversionOptions&, int32_t& ret) {
    frm_.bAskToSaveZolFileBeforeExit = true;
    frame_->close();
    ret = 0;
  };
  ui_->answers = {vbYes, vbOK};  // the save fails: the window stays
  Act("keyConvert")->trigger();
  ASSERT_TRUE(QTest::qWaitFor([&] { return ui_->answers.empty(); }, 20000));
  EXPECT_FALSE(frame_->Unloaded());
  ui_->answers = {vbNo};
  Act("keyConvert")->trigger();
  EXPECT_TRUE(QTest::qWaitFor([&] { return frame_->Unloaded(); }, 20000));
}

TEST_F(MainWindow, TheEditorShowsTheCurrentTaskAndCancelKeepsItsEdits) {
  Open();
  QTableView* grid = Form().ToDoView();
  QComboBox* input = Combo(Form(), "cbOriginalFile");
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({"a.png", "b.png", "c.png"})));
  EXPECT_EQ(input->currentText(), "a.png");  // the highlighted task
  input->setEditText("edited.png");
  ui_->answers = {vbCancel};  // at "Update Conversion Item"
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(grid->model()->index(1, kColInput)).center());
  ActivateAndFocus(grid);  // so that a shortcut of the key would fire
  QTest::keyClick(grid, Qt::Key_Delete);  // no key of its own
  EXPECT_EQ(frm_.fgToDo.Row(), 1);
  EXPECT_EQ(input->currentText(), "edited.png");
  EXPECT_EQ(frm_.fgToDo.Rows(), 5);
}

TEST_F(MainWindow, AnUpdateWithoutProgramArgumentsLeavesTheFieldEmpty) {
  Open();
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteFile(dir_.path() / "p.ZOL", "\t32^1^30\t1\tS60\t/bin/true\t0\t\t\t0\t\t\t")));
  QComboBox* arguments = Combo(Form(), "cbCommandLineArguments");
  for (const char* typed : {"--old", ""}) {
    arguments->setEditText(typed);
    Act("mnuUpdateConversionJob")->trigger();
    EXPECT_EQ(arguments->currentText(), typed);  // not the newest history item
  }
}

}  // namespace
}  // namespace tessa::test
