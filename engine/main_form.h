// The engine's half of the main form: the job's grids, the run state and the
// settings that the conversion reads. The window (when there is one) shows
// these through its own adapters and answers the engine through MainFormView;
// command-line and automation runs use it without any window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/flex_grid.h"
#include "engine/job_view.h"
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

  // The window's side of the job commands; a do-nothing view when none is set.
  JobView& Job() { return *jobView_; }
  void SetJobView(JobView* view) { jobView_ = view ? view : &nullJobView_; }

  std::string sCurrentJobFile = "*";      // open job file; "*" for a new job
  bool bAskToSaveZolFileBeforeExit = false;
  int32_t lMaxToDoRows = 30000;           // loader cap; a reload row continues the file
  int32_t lResumeFileRow = 0;             // the task row lResumeFileIndex belongs to
  std::string sJobFileError;              // why the last job-file command failed
  // Runs one task; PerformBlock unless replaced.
  std::function<void(int32_t lJobNumber, clsConversionOptions& co, int32_t& ret)> blockRunner;

  // To-do rows and grid set-up (todo_grid.cpp).
  void InitToDoGrid(FlexGrid& grid);
  void InitLogGrid(FlexGrid& grid);
  void SelectGridRow(FlexGrid& grid);
  void ReadConversionItemFromGrid(clsConversionOptions& task, int32_t row, FlexGrid& grid);
  void AddConversionItemToGrid(const clsConversionOptions& task, FlexGrid& grid);

  // Job files and job commands (job_commands.cpp).
  bool LoadJobFileIntoGrid(const std::string& sFile, int32_t lStartTask, FlexGrid& fg);
  bool SaveToDoGridToJobFile(const std::string& sFile, FlexGrid& fg);
  bool ConversionJobSave();
  bool ConversionJobSaveAs(const std::string& sFile = "");
  bool ConversionJobOpen(const std::string& sFile = "");
  void ConversionJobNew();
  bool SaveLogAsConversionJob(const std::string& sFile = "");
  void CheckToSaveFileBeforeErasing();

  // The run loop (run_loop.cpp).
  void ConversionJobBegin();
  void ConversionJobPause();
  void ConversionJobRewind();
  int32_t FindStartPoint(FlexGrid& fg);
  bool bCheckToUpdateDirtyConversionItem();
  bool bCheckToZeroConversionItems();
  // True while ConversionJobBegin's loop is going (a pause included).
  bool bInRunLoop() const { return runDepth_ > 0; }

  // Adding and removing tasks, scheduler events (task_list.cpp).
  void cmdAdd_Click();
  void cmdRemove_Click();
  bool AddFileToConvertGUI();
  void RemoveActionItem();
  void RemoveAllFilesWithJobNumber(int32_t lJob);
  bool frmSched_RunTheJobEvent(const std::string& strTimerFile);
  void frmSched_DisplayTimeRemainingEvent(int32_t lngDays, int32_t lngHours, int32_t lngMinutes,
                                          int32_t lngSeconds);

 private:
  MainFormView nullView_;
  MainFormView* view_ = &nullView_;

  // the job
  JobView nullJobView_;
  JobView* jobView_ = &nullJobView_;
  struct JobSource {                      // where the grid's rows came from
    std::string file;                     // job file read last ("" none)
    int32_t firstTask = 1;                // its line at which the rows begin
    std::string reloadFile;               // the reload row the loader ended with
    int32_t reloadStart = 0;              // (0: none)
  } jobSource_;
  int64_t lJobLoads_ = 0;                 // loads that brought at least one row
  int runDepth_ = 0;
  bool bLoadingJob_ = false;
  bool bJobOpenFailed_ = false;           // a headless open failed: Begin runs nothing
  std::string sPendingJobOpen_;           // an open that waits for the run to stop
  bool OpenJobFileNow(const std::string& path);
  void RunBlock(int32_t row, clsConversionOptions& co, int32_t& ret);
  void MarkPassed(int32_t row, int32_t ret);
};

}  // namespace tessa
