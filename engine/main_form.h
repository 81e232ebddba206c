// The engine's half of the main form: the job's grids, the run state and the
// settings that the conversion reads. The window (when there is one) shows
// these through its own adapters and answers the engine through MainFormView;
// command-line and automation runs use it without any window.
#pragma once

#include <cstdint>
#include <string>

#include "engine/flex_grid.h"
#include "engine/type_mismatch_notice.h"

namespace tessa {

class ItemEditorFields;

// What the engine asks of the window around a run. The default does nothing,
// which is what a run without a window needs.
class MainFormView {
 public:
  virtual ~MainFormView() = default;
  virtual void UpdateMenuToolbar() {}
  virtual void UpdateMRUs() {}
  virtual bool bSchedularEnabled() { return false; }
  virtual bool IsVisible() { return false; }
  // The end-of-job notifier (Timer1) on or off.
  virtual void SetEndOfJobNotifier(bool /*on*/) {}
  // The item editor's input and output fields; none without a window.
  virtual ItemEditorFields* EditorFields() { return nullptr; }
  // Shows the window's own type-mismatch dialog modally, leaving the answer
  // in notice, and returns true; false when the view has no such dialog.
  virtual bool ShowTypeMismatchDialog(TypeMismatchNotice& /*notice*/) { return false; }
};

class MainForm {
 public:
  MainForm();

  // The window that shows this form; a do-nothing view when none is set.
  MainFormView& View() { return *view_; }
  void SetView(MainFormView* view);

  // The job: one to-do row per task (11 cells) and the log rows (12 cells).
  FlexGrid fgToDo{11, 2};
  FlexGrid fgLog{12, 2};

  // Set while the program itself changes a grid, so grid events do nothing.
  bool bGridUpdateByCode = false;

  // Run state.
  bool bRunning = false;
  int64_t lTotalTimeStart = 0;   // tick count (ms) when the run started
  int32_t lResumeFileIndex = 0;  // next file of an interrupted multi-file task
  bool bCurrentActionItemDirty = false;

  // --- validation: the type-mismatch notice (frmTypeMatchNotification) ---
  TypeMismatchNotice frmTypeMatchNotification;

  // --- running one task: driver, run log, block dispatch ---

  // --- the job: rows, job files, run loop, task list changes ---

 private:
  MainFormView nullView_;
  MainFormView* view_ = &nullView_;
};

}  // namespace tessa
