// The command state of the toolbar, menus and panel buttons for the job
// states the window goes through, and the moves that a run must not allow.
#include <QAbstractButton>
#include <QTabBar>
#include <QTableView>
#include <QTest>

#include "engine/job/todo_grid.h"
#include "mainwindow/qt/item_editor_binding.h"
#include "mainwindow/qt/scheduler_window.h"
#include "window_fixture.h"

namespace tessa::test {
namespace {

// Toolbar: New, Open, Add, Delete, Update, Rewind, Convert, Pause.
const char* kButtons[] = {"keyNew", "keyOpen", "keyAdd", "keyRemove", "keyUpdate", "keyRewind", "keyConvert", "keyPause"};

struct StateCase {
  const char* name;
  int tasks;
  int row;          // selected to-do row
  bool dirty;
  bool running;
  int tab;
  bool firstMarked; // task 1 carries a pass mark
  const char* enabled;  // one letter per toolbar button: 1 on, 0 off
  const char* moves;    // shown: menu submenu, Up, Down, pop-up Up, pop-up Down; '-' untested
};

class CommandState : public WindowTest {};

TEST_F(CommandState, ToolbarMenusAndPanelButtonsFollowTheJob) {
  const StateCase cases[] = {
      {"empty job", 0, 1, false, false, 1, false, "11100010", "0--00"},
      {"first of three", 3, 1, false, false, 1, false, "11110010", "10101"},
      {"middle of three", 3, 2, false, false, 1, false, "11110010", "11111"},
      {"last of three", 3, 3, false, false, 1, false, "11110010", "11010"},
      {"placeholder of three", 3, 4, false, false, 1, false, "11100010", "0--00"},
      {"edited panel", 3, 2, true, false, 1, false, "11111010", "11111"},
      {"after a run", 3, 2, false, false, 1, true, "11110110", "11111"},
      {"one task, edited, marked", 1, 1, true, false, 1, true, "11101010", "0--00"},
      {"running", 3, 2, true, true, 1, true, "00000001", "-----"},
      {"log tab", 3, 2, true, false, 2, true, "11000110", "-----"},
  };
  Open();
  for (const StateCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> inputs;
    for (int i = 0; i < c.tasks; ++i) inputs.push_back(dir_.file("in" + std::to_string(i) + ".png"));
    if (c.tasks > 0) {
      ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob(inputs)));
    } else {
      frm_.ConversionJobNew();
    }
    if (c.firstMarked) frm_.fgToDo.SetTextMatrix(1, kColPass, "+");
    Form().SelectTab(1);
    QTest::mouseClick(Form().ToDoView()->viewport(), Qt::LeftButton, {},
                      Form().ToDoView()->visualRect(Form().ToDoView()->model()->index(c.row - 1, kColNumber)).center());
    ASSERT_EQ(frm_.fgToDo.Row(), c.row);
    Form().SelectTab(c.tab);
    frm_.bCurrentActionItemDirty = c.dirty;
    frm_.bRunning = c.running;
    Form().UpdateMenuToolbar();
    for (int i = 0; i < 8; ++i) EXPECT_EQ(Act(kButtons[i])->isEnabled(), c.enabled[i] == '1') << kButtons[i];
    // Menu items copy their button; panel buttons copy their menu item.
    EXPECT_EQ(Act("mnuRemoveConversionJob")->isEnabled(), Act("keyRemove")->isEnabled());
    EXPECT_EQ(Act("mnuPopupDelete")->isEnabled(), Act("keyRemove")->isEnabled());
    EXPECT_EQ(Act("mnuBeginConversionJob")->isEnabled(), Act("keyConvert")->isEnabled());
    EXPECT_EQ(Form().findChild<QAbstractButton*>("cmdUpdate")->isEnabled(), Act("keyUpdate")->isEnabled());
    EXPECT_EQ(Form().findChild<QAbstractButton*>("cmdPause")->isEnabled(), Act("keyPause")->isEnabled());
    EXPECT_TRUE(Act("KeySave")->isEnabled());
    const char* moveItems[] = {"mnuMoveConversionTask", "mnuMoveUp", "mnuMoveDown", "mnuPopupMoveUp", "mnuPopupMoveDown"};
    for (int i = 0; i < 5; ++i) {
      if (c.moves[i] == '-') continue;
      EXPECT_EQ(Act(moveItems[i])->isVisible(), c.moves[i] == '1') << moveItems[i];
    }
    EXPECT_EQ(Act("mnuMoveFirst")->isVisible(), Act("mnuMoveUp")->isVisible());
    frm_.bRunning = false;
    frm_.bCurrentActionItemDirty = false;  // set by hand: no edits to ask about at the next open
  }
}

TEST_F(CommandState, AJobThatLoadsOffersOnlyPause) {
  Open();
  std::vector<std::string> inputs(2500, "a.png");
  const std::string job = WriteJob(inputs);
  std::vector<std::string> offered;
  ui_->onYield = [&] {
    for (const char* name : {"keyNew", "keyOpen", "keyAdd", "keyRemove", "keyConvert", "keyRewind", "keyPause"})
      if (Act(name)->isEnabled()) offered.push_back(name);
  };
  ASSERT_TRUE(frm_.ConversionJobOpen(job));
  ui_->onYield = nullptr;
  EXPECT_EQ(offered, (std::vector<std::string>{"keyPause", "keyPause"}));  // at tasks 1000 and 2000
  EXPECT_TRUE(Act("keyNew")->isEnabled());
}

TEST_F(CommandState, LogItemsOnceTheLogHoldsARow) {
  Open();
  EXPECT_FALSE(Act("KeySaveLogAsConversionJob")->isEnabled());
  frm_.fgLog.AddItem("\t\t1\tC\ta.png\t13\tpng\ta.pdf\t100\tPDF\t+\tdone", frm_.fgLog.Rows() - 1);
  Form().UpdateMenuToolbar();
  EXPECT_TRUE(Act("KeySaveLogAsConversionJob")->isEnabled());
  EXPECT_TRUE(Act("mnuSaveLogAsConversionJob")->isEnabled());
}

class RecordingEditor : public ItemEditorBinding {
 public:
  void MoveToDoRow(int target) override { moves.push_back(target); }
  std::vector<int> moves;
};

class ArmedScheduler : public SchedulerWindow {
 public:
  void StartTimer() override { armed = true; }
  bool TimerEnabled() const override { return armed; }
  void StopAndReset() override { armed = false; }
  void ShowModal() override {}
  bool armed = false;
};

TEST_F(CommandState, RowsDoNotMoveWhileAJobRunsOrASchedulerIsArmed) {
  Open();
  auto editor = std::make_unique<RecordingEditor>();
  RecordingEditor& moves = *editor;
  Form().SetItemEditorBinding(std::move(editor));
  ASSERT_TRUE(frm_.ConversionJobOpen(WriteJob({"a.png", "b.png", "c.png"})));
  QTableView* grid = Form().ToDoView();
  frm_.blockRunner = [&](int32_t, clsConversionOptions&, int32_t& ret) {
    Act("mnuMoveUp")->trigger();
    Act("mnuPopupMoveLast")->trigger();
    QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
    ret = 0;
  };
  Act("keyConvert")->trigger();
  EXPECT_EQ(frm_.fgToDo.TextMatrix(3, kColPass), "+");
  EXPECT_TRUE(moves.moves.empty());

  auto scheduler = std::make_unique<ArmedScheduler>();
  scheduler->armed = true;
  Form().SetSchedulerWindow(std::move(scheduler));
  Act("mnuMoveFirst")->trigger();
  EXPECT_TRUE(moves.moves.empty());
  Form().SetSchedulerWindow(std::make_unique<ArmedScheduler>());

  // Idle: the moves reach the editor, by menu and by keyboard.
  frm_.fgToDo.SetRow(2);
  Act("mnuMoveUp")->trigger();
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_D, Qt::ControlModifier);
  EXPECT_EQ(moves.moves, (std::vector<int>{1, 3}));
}

TEST_F(CommandState, ControlTabCyclesTheTabsFromInsideAGrid) {
  Open();
  frame_->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
  QTableView* grid = Form().ToDoView();
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Form().Tabs()->currentIndex(), 1);
  QTest::keyClick(Form().LogView(), Qt::Key_Tab, Qt::ControlModifier);
  EXPECT_EQ(Form().Tabs()->currentIndex(), 0);
  QTest::keyClick(grid, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Form().Tabs()->currentIndex(), 1);
}

}  // namespace
}  // namespace tessa::test
