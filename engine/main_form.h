// The engine's half of the main form: the job's grids, the run state and the
// settings that the conversion reads. The window (when there is one) shows
// these through its own adapters and answers the engine through MainFormView;
// command-line and automation runs use it without any window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/form_options.h"
#include "engine/job/flex_grid.h"
#include "engine/job/resume_points.h"
#include "engine/run/image_file.h"
#include "engine/job_view.h"
#include "engine/task/type_mismatch_notice.h"
#include "pdfcontrol/quirepane.h"

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
  // The file (from 1) the block being run starts at; a block that a pause
  // cuts short leaves the index of its next file here. 0 outside a block.
  int32_t lResumeFileIndex = 0;
  ResumePoints resumePoints;     // where the tasks a pause cut short go on
  // The number that the log rows (grid and file) give the task being run:
  // its to-do row's own number, which differs from the row after a reload.
  // "" when no job row runs; the rows then take the number they are given.
  std::string sRunTaskNumber;
  // The log file (/L) of a command-line or bus run of a job file, which the
  // job's rows log to as a task of the command line would; "" otherwise.
  std::string sRunLogFile;
  bool bCurrentActionItemDirty = false;

  // The item editor panel's task kind and options (the window keeps them in
  // its settings): "C" conversion or "S" special process, the conversion
  // method (1 image conversion, 4 special process) and the advanced PDF
  // options record of the panel's task.
  std::string sActionToDo = "C";
  int32_t lConversionMethod = 1;
  std::string sQuirepaneAdvancedOptions = kDefaultAdvancedOptions;

  // --- validation: the type-mismatch notice (frmTypeMatchNotification) ---
  TypeMismatchNotice frmTypeMatchNotification;

  // --- running one task: driver, run log, block dispatch ---

  // Options of a run, read from the settings file in every mode
  // (ReadMainFormOptions); the window's options dialog edits them.
  bool bSkipProcessedFiles = false;                 // skip inputs whose output exists
  bool bRetainInputFileTimeStamp = false;           // outputs get their input's file times
  bool bDeleteOriginalFileAfterProcessing = false;  // delete each input once converted
  bool bMoveOriginalFileAfterProcessing = false;    // move each input once converted...
  std::string sMoveFileToFolder;                    // ...into this folder
  bool bContinueFileListingOnError = true;          // use what a failing file search found
  bool bTryAutodetectIfFailed = true;               // the user's retry choice (options dialog)
  std::string sLogFile;                             // log file of runs; "" none

  // The outcome of the image-to-PDF control's last Done: the negated status
  // and its text.
  int32_t Quirepane_ErrorCode = 0;
  std::string Quirepane_ErrorString;

  // The image-to-PDF control that converts each file, and the imaging
  // control that cuts the frames of multi-page TIFF inputs.
  quirepane::Quirepane Quirepane;
  ImageFile ImageFile1;

  // --- the job: rows, job files, run loop, task list changes ---

  // The window's side of the job commands; a do-nothing view when none is set.
  JobView& Job() { return *jobView_; }
  void SetJobView(JobView* view) { jobView_ = view ? view : &nullJobView_; }

  std::string sCurrentJobFile = "*";      // open job file; "*" for a new job
  bool bAskToSaveZolFileBeforeExit = false;
  int32_t lMaxToDoRows = 30000;           // loader cap; a reload row continues the file
  std::string sJobFileError;              // why the last job-file command failed
  // Runs one task; PerformBlock unless replaced.
  std::function<void(int32_t lJobNumber, clsConversionOptions& co, int32_t& ret)> blockRunner;

  // To-do rows and grid set-up (todo_grid.cpp).
  // Empties the to-do grid: headings and the placeholder row only.
  void InitToDoGrid(FlexGrid& grid);
  // Empties the log grid: headings and its empty last row only.
  void InitLogGrid(FlexGrid& grid);
  // Selects every cell of the grid's current row.
  void SelectGridRow(FlexGrid& grid);
  // Fills task from to-do row `row` and makes it current; the headings and
  // the placeholder leave task untouched.
  void ReadConversionItemFromGrid(clsConversionOptions& task, int32_t row, FlexGrid& grid);
  // Appends task as the last task row (numbered n + 1) and selects it.
  void AddConversionItemToGrid(const clsConversionOptions& task, FlexGrid& grid);

  // Job files (job_file.cpp).
  // Fills fg from sFile's lines from line lStartTask on, numbered from
  // lStartTask; ends the grid with a reload row at lMaxToDoRows rows or at a
  // pause. False (sJobFileError set, fg untouched) when the file is missing
  // or unreadable. The busy pointer shows while it loads.
  bool LoadJobFileIntoGrid(const std::string& sFile, int32_t lStartTask, FlexGrid& fg);
  // Writes fg as the job file sFile (through a temporary file; an old file
  // stays on failure), with every task of a job that was loaded in parts.
  // An empty job first takes the editor panel's task. False with
  // sJobFileError on failure, and while the to-do grid is still loading.
  bool SaveToDoGridToJobFile(const std::string& sFile, FlexGrid& fg);

  // Job commands (job_commands.cpp); failures are shown in boxes and left
  // in sJobFileError, and a failed save keeps the job marked as changed.
  // Save to sCurrentJobFile, or Save As for a new job.
  bool ConversionJobSave();
  // Save under sFile ("" asks the job view), which becomes the job's file.
  bool ConversionJobSaveAs(const std::string& sFile = "");
  // Opens sFile ("" asks) from task 1 with an empty log. During a run the
  // run is paused and the job opens when it has stopped (false now). In a
  // command-line or automation run a failed open leaves an empty job and a
  // failed log row, and the next Begin runs nothing. A changed job that the
  // user chose to save but that could not be saved stays open (false).
  bool ConversionJobOpen(const std::string& sFile = "");
  // An empty new job "*" (not while a run is going, and not when the changed
  // job that the user chose to save could not be saved).
  void ConversionJobNew();
  // Writes the log rows as a job file sFile ("" asks).
  bool SaveLogAsConversionJob(const std::string& sFile = "");
  // Before the job is replaced or the window closes (never in a command-line
  // run): asks whether to apply the panel's edits not yet applied, then
  // whether to save a changed job; false when the user cancelled, or an
  // update or save that the user wanted failed, so the job must stay.
  bool CheckToSaveFileBeforeErasing();

  // The run loop (run_loop.cpp).
  // Runs the job from its first unmarked task (from task 1 in a command-line
  // run; after a rewind when every task is marked), marking each.
  void ConversionJobBegin();
  // Clears bRunning; the loops stop before their next file or task.
  void ConversionJobPause();
  // Clears every pass mark, the log and the resume point (not during a run).
  void ConversionJobRewind();
  // The first task row without a pass mark; Rows - 1 when all are marked.
  int32_t FindStartPoint(FlexGrid& fg);
  // Offers to write a changed editor panel back first; false when cancelled.
  bool bCheckToUpdateDirtyConversionItem();
  // True when there is nothing to run (an empty job whose editor task could
  // not be added); rewinds a job of one task.
  bool bCheckToZeroConversionItems();
  // True while ConversionJobBegin's loop is going (a pause included).
  bool bInRunLoop() const { return runDepth_ > 0; }

  // Adding and removing tasks, scheduler events (task_list.cpp).
  void cmdAdd_Click();
  void cmdRemove_Click();
  // Validates the editor panel's task and appends it; false when there is no
  // panel or the task was refused.
  bool AddFileToConvertGUI();
  // Removes the current task row (never the placeholder) and renumbers.
  void RemoveActionItem();
  // Removes task row lJob and renumbers the tasks 1..n.
  void RemoveAllFilesWithJobNumber(int32_t lJob);
  // A scheduled run: opens strTimerFile without asking, rewinds and begins
  // it. Refused (false, reason in sJobFileError and panel 8) while a run is
  // going; false when the job does not open.
  bool frmSched_RunTheJobEvent(const std::string& strTimerFile);
  // Shows the countdown to the next scheduled run in the frame's caption.
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
  int64_t lJobLoads_ = 0;                 // loads that replaced the to-do grid
  int runDepth_ = 0;
  bool bLoadingJob_ = false;
  bool bJobOpenFailed_ = false;           // a headless open failed: Begin runs nothing
  std::string sPendingJobOpen_;           // an open that waits for the run to stop
  bool OpenJobFileNow(const std::string& path);
  // CheckToSaveFileBeforeErasing's questions, about the panel's edits not yet
  // applied and then about saving the job; false when the user cancelled, or
  // wanted the edits applied or the job saved and it was not, so the job must
  // not be replaced nor the window closed.
  bool OfferToSaveJob();
  void RunBlock(int32_t row, clsConversionOptions& co, int32_t& ret);
  // After a run the editor panel and the highlighted row show one task: an
  // unedited panel loads the task the run ended on; edits made during the
  // run take the highlight back to their own task (editorRow).
  void ShowOneTaskInEditorAndGrid(int32_t editorRow, bool bRowsReplaced);
};

}  // namespace tessa
