// Begin walks the to-do rows from the start point and runs and marks each
// task that carries no mark yet; Rewind clears the marks. Pause
// only clears bRunning, which the loops test between files and tasks. A
// multi-file task that a pause interrupted keeps no mark: a later Begin runs
// it again from the file index the block left, which stays with that task
// (resumePoints) whatever runs, moves or is updated before it.
#include "engine/run/run_loop.h"

#include <optional>

#include "common/program_modes.h"
#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/result_codes.h"
#include "engine/run/block_dispatch.h"
#include "engine/run/run_log.h"
#include "engine/status_panels.h"
#include "platform/stop_signals.h"
#include "platform/tick_count.h"
#include "platform/user_interface.h"

namespace tessa {

int32_t MainForm::FindStartPoint(FlexGrid& fg) {
  GridUpdateByCode guard(bGridUpdateByCode);
  for (int row = 1; row <= fg.Rows() - 2; ++row) {
    fg.SetRow(row);
    if (fg.TextMatrix(row, kColPass).empty()) return row;
  }
  return fg.Rows() - 1;
}

bool MainForm::bCheckToUpdateDirtyConversionItem() {
  bool result = true;
  if (View().bSchedularEnabled() || bRunning) return result;
  const int current = fgToDo.Row();
  if (fgToDo.TextMatrix(current, kColNumber) != kPlaceholderMark &&
      fgToDo.TextMatrix(1, kColNumber) != kPlaceholderMark && bCurrentActionItemDirty) {
    int answer = vbYes;
    if (fgToDo.Rows() >= 4) {
      answer = CurrentUserInterface().MsgBox(
          Translate("You've changed the current conversion item #") + std::to_string(current) + "\r\n\r\n" +
              Translate("Do you want to update your changes?"),
          vbYesNoCancel, Translate("Update Conversion Item"));
    }
    if (answer == vbCancel) {
      result = false;
    } else if (answer == vbYes) {
      result = Job().ConversionJobUpdate();
    } else {
      bCurrentActionItemDirty = false;
    }
  } else {
    bCurrentActionItemDirty = false;
  }
  return result;
}

bool MainForm::bCheckToZeroConversionItems() {
  if (!View().IsVisible() || View().bSchedularEnabled() || bRunning) return false;
  if (fgToDo.Rows() == 2) return !AddFileToConvertGUI();
  // A single task always runs again; one that a pause interrupted goes on
  // with its next file instead.
  const bool interrupted = resumePoints.At(1) > 0 && fgToDo.TextMatrix(1, kColPass).empty();
  if (fgToDo.Rows() == 3 && !interrupted) ConversionJobRewind();
  return false;
}

void MainForm::ConversionJobPause() {
  if (!Job().IsToolbarButtonEnabled("keyPause", bRunning)) return;
  bRunning = false;
  if (View().bSchedularEnabled()) {
    Job().StopScheduler();
    Job().SetFrameCaption("'Tessalumen'");
  }
  View().UpdateMenuToolbar();
  Job().FocusToDoGrid();
}

void MainForm::ConversionJobRewind() {
  if (bInRunLoop()) return;  // the rows are in use; Rewind is offered only while idle
  lResumeFileIndex = 0;
  resumePoints.Clear();
  {
    GridUpdateByCode guard(bGridUpdateByCode);
    for (int row = fgToDo.Rows() - 1; row >= 1; --row) fgToDo.SetTextMatrix(row, kColPass, "");
  }
  InitLogGrid(fgLog);
  View().UpdateMenuToolbar();
  SelectGridRow(fgToDo);
  CurrentUserInterface().SetStatusPanel(kPanelRunState, "");
  CurrentUserInterface().SetStatusPanelEnabled(kPanelRunState, true);
  View().SetEndOfJobNotifier(false);
}

void MainForm::ConversionJobBegin() {
  auto& ui = CurrentUserInterface();
  if (bInRunLoop() || bLoadingJob_) return;  // one run at a time
  if (bJobOpenFailed_) {
    bJobOpenFailed_ = false;  // the failed open's log row is the run's outcome
    return;
  }
  View().SetEndOfJobNotifier(false);
  ui.SetStatusPanel(kPanelRunState, "");
  ui.SetStatusPanelEnabled(kPanelRunState, true);
  if (!bCheckToUpdateDirtyConversionItem()) return;
  if (bCheckToZeroConversionItems()) return;

  bRunning = true;
  const int32_t editorRow = fgToDo.Row();  // the task the editor panel shows
  const int64_t loadsAtStart = lJobLoads_;
  std::optional<GridUpdateByCode> guard(bGridUpdateByCode);
  View().UpdateMenuToolbar();
  InitLogGrid(fgLog);
  int32_t start = FindStartPoint(fgToDo);
  int32_t last = fgToDo.Rows() - 2;
  if (bCommandLineMode) {
    start = 1;
  } else if (start > last) {
    ConversionJobRewind();
    start = 1;
  }
  ui.SetStatusPanel(kPanelRunState, Translate("Working") + "...");
  ui.SetStatusPanel(kPanelElapsed, "");
  lTotalTimeStart = GetTickCount();

  ++runDepth_;
  clsConversionOptions co;
  int32_t row = start;
  for (; row <= last; ++row) {
    // A task that carries a mark has run since the last Rewind, also one
    // moved below the start point: it does not run again. A command-line
    // run runs every task of its job.
    if (!bCommandLineMode && !fgToDo.TextMatrix(row, kColPass).empty()) continue;
    const std::string taskNumber = fgToDo.TextMatrix(row, kColNumber);
    ui.SetStatusPanel(kPanelTaskNumber, taskNumber);
    co = clsConversionOptions{};
    ReadConversionItemFromGrid(co, row, fgToDo);
    lResumeFileIndex = resumePoints.At(row);  // this task's own point, used once
    resumePoints.Forget(row);
    const int64_t loadsBefore = lJobLoads_;
    int32_t ret = 0;
    sRunTaskNumber = taskNumber;  // log rows carry the task's number, not its row
    RunBlock(row, co, ret);

    const bool reload = co.sActionToDo.find('S') != std::string::npos && co.lSpecialProcess == kProcessReloadJob;
    // A reload that read its file replaced the rows, whatever it found.
    const bool reloaded = reload && lJobLoads_ != loadsBefore;
    if (reload && (!reloaded || fgToDo.Rows() <= 2)) {
      // A reload that brought no rows must not restart the job from row 1.
      co.lErr = ret = kReloadFailed;
      co.sErr = Translate("Unable to reload the conversion job: ") +
                (sJobFileError.empty() ? co.sTargetFile : sJobFileError);
      LogConversionError(*this, row, co);
    }
    sRunTaskNumber.clear();
    const bool interrupted = !bRunning && !reloaded && lResumeFileIndex > 0;
    if (!reloaded && !interrupted) {
      fgToDo.SetRow(row);
      UpdatePassedCell(fgToDo, row, ret);
    }
    if (interrupted) resumePoints.Note(row, lResumeFileIndex);
    if (reloaded) resumePoints.Clear();  // the rows hold other tasks now
    lResumeFileIndex = 0;
    if (StopSignalReceived() != 0) bRunning = false;
    if (!bRunning) break;
    if (reloaded) {
      row = 0;  // row 1 of the reloaded part comes next
      last = fgToDo.Rows() - 2;
    }
  }
  --runDepth_;

  ui.SetStatusPanel(kPanelTaskNumber, "-");
  if (co.sErr.size() > 2 && co.lErr != 0) ui.SetStatusPanel(kPanelCurrentFile, "!!! " + Translate("Error") + ":  " + co.sErr);
  if (row == last + 1 && bRunning && !bCommandLineMode && !bAutomationMode) {
    if (!View().bSchedularEnabled()) View().SetEndOfJobNotifier(true);
    ui.SetStatusPanel(kPanelRunState, " 100" + Translate(" Percent Complete "));
  }
  if (!bRunning) ui.SetStatusPanel(kPanelRunState, Translate("Pause"));
  bRunning = false;
  guard.reset();
  View().UpdateMenuToolbar();
  ShowOneTaskInEditorAndGrid(editorRow, lJobLoads_ != loadsAtStart);

  if (!sPendingJobOpen_.empty()) {
    const std::string path = std::move(sPendingJobOpen_);
    sPendingJobOpen_.clear();
    OpenJobFileNow(path);
  }
}

void MainForm::ShowOneTaskInEditorAndGrid(int32_t editorRow, bool bRowsReplaced) {
  if (bCommandLineMode || bAutomationMode) return;
  if (!bCurrentActionItemDirty) {
    Job().EnterToDoCell();  // the task the run ended on
    return;
  }
  // Edits made during the run belong to the task the panel showed; those of
  // a task that a reload took away can only be added as a new one.
  GridUpdateByCode guard(bGridUpdateByCode);
  fgToDo.SetRow(bRowsReplaced ? fgToDo.Rows() - 1 : editorRow);
  SelectGridRow(fgToDo);
}

void MainForm::RunBlock(int32_t row, clsConversionOptions& co, int32_t& ret) {
  if (blockRunner) {
    blockRunner(row, co, ret);
    return;
  }
  PerformBlock(*this, row, co, ret, [this](const std::string& sFile, int32_t lStartTask, FlexGrid& fg) {
    LoadJobFileIntoGrid(sFile, lStartTask, fg);
  });
}

}  // namespace tessa
