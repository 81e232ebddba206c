#include "engine/run/run_loop.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "engine/job/row_moves.h"
#include "engine/main_form.h"
#include "engine/job/todo_grid.h"
#include "engine/job_test_support.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::JobText;
using test::TaskLine;

// Runs tasks the way the block dispatcher does: a task's files one by one,
// a yield and a pause test before each, a paused task leaving the index of
// its first file not done; records which file of which task ran.
struct RunLoopTest : test::JobFormTest<test::EventUserInterface> {
  std::map<std::string, int> filesOf;  // input -> file count (default 1)
  std::map<std::string, int> failing;  // input -> result
  std::vector<std::string> ran;        // "input#file"

  RunLoopTest() {
    form.blockRunner = [this](int32_t, clsConversionOptions& co, int32_t& ret) { Run(co, ret); };
  }

  void Run(clsConversionOptions& co, int32_t& ret) {
    ret = 0;
    if (co.sActionToDo == "S1" && co.lSpecialProcess == 1) {
      form.LoadJobFileIntoGrid(co.sTargetFile, co.lTargetFileType, form.fgToDo);
      return;
    }
    const int count = filesOf.count(co.sOriginalFile) ? filesOf[co.sOriginalFile] : 1;
    const int first = form.lResumeFileIndex != 0 ? form.lResumeFileIndex : 1;
    for (int i = first; i <= count; ++i) {
      CurrentUserInterface().DoEvents();
      if (!form.bRunning) {
        form.lResumeFileIndex = i;
        return;
      }
      ran.push_back(co.sOriginalFile + "#" + std::to_string(i));
    }
    if (failing.count(co.sOriginalFile)) ret = failing[co.sOriginalFile];
  }

  // Begins the job and pauses it at the yield after `files` files have run.
  void RunPausingAfter(size_t files) {
    ui.onYield = [this, files] {
      if (ran.size() == files) form.ConversionJobPause();
    };
    form.ConversionJobBegin();
    ui.onYield = nullptr;
  }
  void Open(int tasks) { ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("job.ZOL"), JobText(tasks)))); }
  std::string Marks() const { return test::PassMarks(form); }
  static std::string In(int n) { return "/data/in" + std::to_string(n) + ".bmp"; }
};

TEST_F(RunLoopTest, RunsFromTheFirstUnmarkedTaskAndMarksEach) {
  Open(4);
  form.fgToDo.SetTextMatrix(1, kColPass, "+");
  form.fgToDo.SetTextMatrix(2, kColPass, "-");
  failing[In(4)] = -100;
  form.ConversionJobBegin();
  EXPECT_EQ(ran, (std::vector<std::string>{In(3) + "#1", In(4) + "#1"}));
  EXPECT_EQ(Marks(), "+-+-");
  EXPECT_FALSE(form.bRunning);
  EXPECT_FALSE(form.bGridUpdateByCode);
  EXPECT_EQ(ui.panels[3], "-");
  EXPECT_EQ(ui.panels[6], " 100 Percent Complete ");
}

TEST_F(RunLoopTest, AJobWhoseTasksAreAllMarkedRunsAgainFromTheStart) {
  Open(3);
  for (int r = 1; r <= 3; ++r) form.fgToDo.SetTextMatrix(r, kColPass, "-");
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 3u);
  EXPECT_EQ(ran[0], In(1) + "#1");
  EXPECT_EQ(Marks(), "+++");
}

TEST_F(RunLoopTest, CommandLineRunsStartAtTheFirstTask) {
  Open(3);
  test::CommandLineModeScope commandLine;
  form.fgToDo.SetTextMatrix(1, kColPass, "+");
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 3u);
}

TEST_F(RunLoopTest, PauseInAMultiFileTaskResumesAtItsOwnNextFile) {
  Open(4);
  filesOf[In(2)] = 5;
  filesOf[In(3)] = 4;
  RunPausingAfter(3);  // in task 2, after its file 2
  EXPECT_EQ(ran, (std::vector<std::string>{In(1) + "#1", In(2) + "#1", In(2) + "#2"}));
  EXPECT_EQ(Marks(), "+...");  // the interrupted task keeps no mark
  EXPECT_EQ(form.resumePoints.At(2), 3);
  EXPECT_EQ(ui.panels[6], "Pause");

  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran, (std::vector<std::string>{In(2) + "#3", In(2) + "#4", In(2) + "#5", In(3) + "#1", In(3) + "#2",
                                           In(3) + "#3", In(3) + "#4", In(4) + "#1"}));
  EXPECT_EQ(Marks(), "++++");
  EXPECT_TRUE(form.resumePoints.Empty());
}

TEST_F(RunLoopTest, PauseBetweenTasksMarksTheFinishedTaskAndContinuesWithTheNext) {
  Open(3);
  filesOf[In(2)] = 1;
  RunPausingAfter(1);  // while task 2 starts
  EXPECT_EQ(Marks(), "+..");
  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran, (std::vector<std::string>{In(2) + "#1", In(3) + "#1"}));
}

TEST_F(RunLoopTest, ARememberedFileIndexNeverPassesToAnotherTask) {
  Open(3);
  filesOf[In(2)] = 4;
  filesOf[In(3)] = 4;
  RunPausingAfter(3);
  ASSERT_EQ(form.resumePoints.At(2), 3);
  form.RemoveAllFilesWithJobNumber(2);  // the paused task goes
  EXPECT_TRUE(form.resumePoints.Empty());
  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran.front(), In(3) + "#1");
}

// A paused task goes on at its own next file when rows before it move or go,
// and no task of a reloaded part takes over a point of the rows it replaced.
TEST_F(RunLoopTest, APausedTaskKeepsItsPointWhenRowsMoveGoOrAreReloaded) {
  const struct {
    const char* edit;
    int tasks;  // the job's tasks; more than 4 leave a reload row at row 5
    std::function<void(MainForm&)> change;
    std::vector<std::string> then;
  } cases[] = {
      // Task 2 paused after its file 2 (row 2); task 1, done and marked,
      // moves down past it and does not run again.
      {"row 1 moved down onto the paused row", 3,
       [](MainForm& f) { f.fgToDo.SetRow(1), MoveCurrentTask(f, TaskMove::Down); },
       {In(2) + "#3", In(2) + "#4", In(3) + "#1"}},
      {"row 1 removed", 3, [](MainForm& f) { f.RemoveAllFilesWithJobNumber(1); },
       {In(2) + "#3", In(2) + "#4", In(3) + "#1"}},
      // The reload row moves first, above the paused task, and runs first.
      {"reload row moved above the paused task", 10,
       [](MainForm& f) { f.fgToDo.SetRow(5), MoveCurrentTask(f, TaskMove::First); }, {In(5) + "#1", In(6) + "#1", In(7) + "#1", In(8) + "#1", In(9) + "#1", In(10) + "#1"}},
  };
  form.lMaxToDoRows = 5;
  for (const auto& c : cases) {
    form.bAskToSaveZolFileBeforeExit = false;
    Open(c.tasks);
    filesOf = {{In(2), 4}};
    ran.clear();
    RunPausingAfter(3);
    ASSERT_EQ(form.resumePoints.At(2), 3) << c.edit;
    c.change(form);
    ran.clear();
    form.ConversionJobBegin();
    EXPECT_EQ(ran, c.then) << c.edit;
  }
}

TEST_F(RunLoopTest, RewindClearsMarksLogAndResumePoint) {
  Open(3);
  filesOf[In(2)] = 4;
  RunPausingAfter(2);
  form.fgLog.AddItem("x\t\t1\tC", 1);
  ASSERT_FALSE(form.resumePoints.Empty());
  form.ConversionJobRewind();
  EXPECT_EQ(Marks(), "...");
  EXPECT_TRUE(form.resumePoints.Empty());
  EXPECT_EQ(form.fgLog.Rows(), 2);
  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran.front(), In(1) + "#1");
  EXPECT_EQ(ran[1], In(2) + "#1");
}

TEST_F(RunLoopTest, AReloadRowContinuesTheSameFileNumberedFromTheReloadPoint) {
  form.lMaxToDoRows = 5;
  Open(10);
  form.ConversionJobBegin();
  ASSERT_EQ(ran.size(), 10u);
  EXPECT_EQ(ran[4], In(5) + "#1");
  EXPECT_EQ(ran[9], In(10) + "#1");
  // The last part of the file is in the grid now, every task marked.
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "9");
  EXPECT_EQ(Marks(), "++");
}

TEST_F(RunLoopTest, AReloadRowWhoseFileIsGoneFailsInsteadOfRestarting) {
  form.lMaxToDoRows = 5;
  Open(10);
  std::filesystem::remove(dir.file("job.ZOL"));
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 4u);
  EXPECT_EQ(Marks(), "++++-");
  EXPECT_NE(ui.panels[8].find("job.ZOL"), std::string::npos);
}

TEST_F(RunLoopTest, BeginWithAnEmptyVisibleJobAddsTheEditorTask) {
  struct VisibleView : MainFormView {
    bool IsVisible() override { return true; }
  } visible;
  form.SetView(&visible);
  form.ConversionJobBegin();  // no editor panel task: nothing runs
  EXPECT_TRUE(ran.empty());
  clsConversionOptions t;
  t.sOriginalFile = test::WriteFile(dir.file("x.bmp"), "BM");
  t.lOriginalFileType = 0;
  t.sTargetFile = dir.file("x.pdf");
  view.editor = t;
  form.ConversionJobBegin();
  EXPECT_EQ(ran, (std::vector<std::string>{t.sOriginalFile + "#1"}));
  // A single task always runs again.
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 2u);
  EXPECT_EQ(ui.panels[6], " 100 Percent Complete ");
}

TEST_F(RunLoopTest, AChangedEditorTaskIsOfferedForUpdateBeforeTheRun) {
  Open(2);
  form.fgToDo.SetRow(2);
  form.bCurrentActionItemDirty = true;
  ui.Answer(vbCancel);
  form.ConversionJobBegin();
  EXPECT_TRUE(ran.empty());
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].title, "Update Conversion Item");
  EXPECT_NE(ui.boxes[0].prompt.find("conversion item #2"), std::string::npos);
  ui.Answer(vbNo);
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 2u);
  EXPECT_FALSE(form.bCurrentActionItemDirty);
}

TEST_F(RunLoopTest, OpeningAJobDuringARunWaitsUntilTheRunHasStopped) {
  Open(3);
  const std::string other = test::WriteFile(dir.file("other.ZOL"), TaskLine(1) + TaskLine(2) + test::kPlaceholderLine);
  bool opened = true;
  ui.onYield = [&] {
    if (ran.size() == 1 && opened) opened = form.ConversionJobOpen(other);
  };
  form.ConversionJobBegin();
  ui.onYield = nullptr;
  EXPECT_FALSE(opened);
  // The pause came before task 2's first file; then the other job replaced
  // the rows, none of them marked.
  EXPECT_EQ(ran.size(), 1u);
  EXPECT_EQ(form.sCurrentJobFile, other);
  EXPECT_EQ(Marks(), "..");
}

TEST_F(RunLoopTest, BeginOpenDuringARunAndRewindEnableTheRunStatePanel) {
  Open(2);
  const std::string other = test::WriteFile(dir.file("other.ZOL"), TaskLine(1) + test::kPlaceholderLine);
  ui.panelEnabled[6] = false;  // as the end-of-job notice may leave it
  bool begun = false;
  ui.onYield = [&] {
    if (begun) return;
    begun = ui.panelEnabled[6];
    ui.panelEnabled[6] = false;
    form.ConversionJobOpen(other);
  };
  form.ConversionJobBegin();
  ui.onYield = nullptr;
  EXPECT_TRUE(begun);
  EXPECT_TRUE(ui.panelEnabled[6]);
  ui.panelEnabled[6] = false;
  form.ConversionJobRewind();
  EXPECT_TRUE(ui.panelEnabled[6]);
}

TEST_F(RunLoopTest, ASchedulerEventOpensRewindsAndBeginsOnlyWhenNoRunIsGoing) {
  const std::string job = test::WriteFile(dir.file("sched.ZOL"), TaskLine(1, "+") + TaskLine(2, "+") + test::kPlaceholderLine);
  Open(3);
  bool started = true;
  ui.onYield = [&] {
    if (ran.size() == 1 && started) started = form.frmSched_RunTheJobEvent(job);
  };
  form.ConversionJobBegin();
  ui.onYield = nullptr;
  EXPECT_FALSE(started);
  EXPECT_EQ(ran.size(), 3u);  // the running job went on untouched
  EXPECT_EQ(Marks(), "+++");
  EXPECT_NE(ui.panels[8].find("sched.ZOL"), std::string::npos);

  ran.clear();
  form.bAskToSaveZolFileBeforeExit = true;  // replaced without asking
  EXPECT_TRUE(form.frmSched_RunTheJobEvent(job));
  EXPECT_EQ(ran, (std::vector<std::string>{In(1) + "#1", In(2) + "#1"}));
  EXPECT_EQ(form.sCurrentJobFile, job);
  EXPECT_TRUE(ui.boxes.empty());

  ran.clear();
  EXPECT_FALSE(form.frmSched_RunTheJobEvent(dir.file("gone.ZOL")));
  EXPECT_TRUE(ran.empty());
}

TEST_F(RunLoopTest, APauseWhileAReloadSkipsToItsStartNeverRunsEarlierTasksAgain) {
  form.lMaxToDoRows = 5;
  // Line 1200 is where the reload row continues; the load yields at line
  // 1000 while it still skips the lines that already ran (its grid holds
  // only the placeholder then).
  ASSERT_TRUE(form.ConversionJobOpen(test::WriteFile(dir.file("job.ZOL"), JobText(1300))));
  form.RemoveAllFilesWithJobNumber(1);  // the reload row is row 4 now
  form.fgToDo.SetTextMatrix(4, kColOutputType, "1200");
  bool paused = false;
  ui.onYield = [&] {
    if (!paused && ran.size() == 3 && form.fgToDo.Rows() == 2) paused = true, form.ConversionJobPause();
  };
  form.ConversionJobBegin();
  ui.onYield = nullptr;
  ASSERT_TRUE(paused);
  EXPECT_EQ(ran.size(), 3u);
  EXPECT_TRUE(form.fgLog.TextMatrix(1, kColStatus).empty()) << form.fgLog.TextMatrix(1, kColStatus);
  ran.clear();
  form.ConversionJobBegin();
  ASSERT_FALSE(ran.empty());
  EXPECT_EQ(ran.front(), In(1200) + "#1");
}

TEST_F(RunLoopTest, AReloadOfAJobFileWithNothingLeftEndsTheRun) {
  form.lMaxToDoRows = 5;
  Open(10);
  form.fgToDo.AddItem(TaskLine(20), form.fgToDo.Rows() - 1);  // a task behind the reload row
  // The file lost its tail since it was opened.
  test::WriteFile(dir.file("job.ZOL"), JobText(3));
  form.ConversionJobBegin();
  // Tasks 1-4; the reload emptied the grid, so nothing is left to run.
  EXPECT_EQ(ran, (std::vector<std::string>{In(1) + "#1", In(2) + "#1", In(3) + "#1", In(4) + "#1"}));
  EXPECT_EQ(form.fgToDo.Rows(), 2);
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColPass), "");
  EXPECT_NE(form.fgLog.TextMatrix(1, kColStatus).find("reload"), std::string::npos);
}

TEST_F(RunLoopTest, AOneTaskJobInTheWindowResumesItsInterruptedFiles) {
  struct VisibleView : MainFormView {
    bool IsVisible() override { return true; }
  } visible;
  form.SetView(&visible);
  Open(1);
  filesOf[In(1)] = 4;
  RunPausingAfter(2);
  ASSERT_EQ(ran.size(), 2u);
  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran, (std::vector<std::string>{In(1) + "#3", In(1) + "#4"}));
  // Once it has run through, the single task runs again from its first file.
  ran.clear();
  form.ConversionJobBegin();
  EXPECT_EQ(ran.size(), 4u);
}

TEST_F(RunLoopTest, AScheduledJobThatFailsToOpenLeavesTheChangedJobMarkedAsChanged) {
  Open(2);
  form.bAskToSaveZolFileBeforeExit = true;
  EXPECT_FALSE(form.frmSched_RunTheJobEvent(dir.file("gone.ZOL")));
  EXPECT_EQ(form.fgToDo.Rows(), 4);
  EXPECT_TRUE(form.bAskToSaveZolFileBeforeExit);
}

}  // namespace
}  // namespace tessa
