// The main form's job commands: New, Open, Save, Save As, Save log as job,
// and the question whether to save a changed job before it is replaced.
// Questions and failures reach the user through the user interface; file
// dialogs belong to the window and are asked for through the job view. A
// path a caller gives is typed or stored ("\" reads as "/"); one the dialog
// gives is as the system names it, so a "\" in a picked name stays in it.
#include "common/file_helpers.h"
#include "common/log_writer.h"
#include "common/path_macros.h"
#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/job/job_file.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/status_panels.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// The failure box of the save commands, with the reason when there is one.
void ShowSaveFailure(const std::string& why) {
  std::string text = Translate("Unable to create file. Try a different folder such as 'My Documents'");
  if (!why.empty()) text += "\r\n\r\n" + why;
  CurrentUserInterface().MsgBox(text, vbOKOnly, Translate("Save"));
}

}  // namespace

bool MainForm::CheckToSaveFileBeforeErasing() { return OfferToSaveJob(); }

bool MainForm::OfferToSaveJob() {
  if (bCommandLineMode) return true;
  // Edits in the panel not yet applied are asked about first, as on a row
  // change; Cancel keeps them, and the job with them.
  if (!bCheckToUpdateDirtyConversionItem()) return false;
  if (!bAskToSaveZolFileBeforeExit) return true;
  const bool named = !sCurrentJobFile.empty() && sCurrentJobFile != "*";
  if (!named && fgToDo.Rows() - 2 <= 1) return true;
  if (CurrentUserInterface().MsgBox(Translate("Save Conversion Job") + "?", vbYesNo, Translate("Save")) == vbYes)
    return ConversionJobSave();
  return true;
}

bool MainForm::ConversionJobSave() {
  if (sCurrentJobFile.empty() || sCurrentJobFile == "*") return ConversionJobSaveAs();
  if (!SaveToDoGridToJobFile(sCurrentJobFile, fgToDo)) {
    // The old file and the changed flag stay as they were.
    ShowSaveFailure(sJobFileError);
    return false;
  }
  bAskToSaveZolFileBeforeExit = false;
  return true;
}

bool MainForm::ConversionJobSaveAs(const std::string& sFile) {
  std::string path = TypedPath(sFile);
  if (path.empty()) {
    const std::string initial = sCurrentJobFile.size() >= 2 ? sCurrentJobFile : "";
    path = Job().PickJobFile(true, Translate("Save"), initial);
    if (path.empty()) return false;
  }
  std::string folder = GetParentFolderAsNamed(path);
  if (folder.empty()) folder = "./";
  if (!bFolderIsWriteable(folder)) {
    sJobFileError = Translate("The folder cannot be written: ") + folder;
    ShowSaveFailure(sJobFileError);
    return false;
  }
  if (!SaveToDoGridToJobFile(path, fgToDo)) {
    ShowSaveFailure(sJobFileError);
    return false;
  }
  sCurrentJobFile = path;
  Job().SetFormCaption(GetFileNameFromPath(path));
  Job().AddOpenedJobFile(path);
  bAskToSaveZolFileBeforeExit = false;
  return true;
}

bool MainForm::ConversionJobOpen(const std::string& sFile) {
  auto& ui = CurrentUserInterface();
  sJobFileError.clear();
  if (bLoadingJob_) {
    sJobFileError = Translate("A conversion job is being loaded; try again when it has loaded.");
    return false;
  }
  // A job the user wanted saved stays when its save failed.
  if (!OfferToSaveJob()) return false;
  std::string path = sFile;
  if (path.empty()) {
    const std::string initial = sCurrentJobFile.size() >= 2 && sCurrentJobFile != "*" ? sCurrentJobFile : "";
    path = Job().PickJobFile(false, Translate("Open Conversion Job"), initial);
    if (path.empty()) return false;
  } else {
    path = ToForwardSlashes(ExpandPathMacros(path));
  }
  if (bInRunLoop()) {
    // Replacing the rows under a running loop would mark the wrong tasks:
    // pause, and open when the loop has stopped.
    ConversionJobPause();
    ui.SetStatusPanel(kPanelRunState, "");
    ui.SetStatusPanelEnabled(kPanelRunState, true);
    sPendingJobOpen_ = path;
    sJobFileError = Translate("The conversion job opens when the running job has paused: ") + path;
    return false;
  }
  return OpenJobFileNow(path);
}

bool MainForm::OpenJobFileNow(const std::string& path) {
  auto& ui = CurrentUserInterface();
  if (!LoadJobFileIntoGrid(path, 1, fgToDo)) {
    if (bCommandLineMode || bAutomationMode) {
      // Nothing of a job that did not load may run without anyone watching,
      // and the run must fail: the log keeps a failed row naming the file
      // and the reason, which the next Begin leaves in place.
      InitToDoGrid(fgToDo);
      jobSource_ = JobSource{};
      InitLogGrid(fgLog);
      fgLog.AddRow(FailedLogRowCells(path, sJobFileError), fgLog.Rows() - 1);
      bJobOpenFailed_ = true;
    } else {
      ui.MsgBox(Translate("ConversionJobOpen: Unable to open") + "\r\n\r\n" + sJobFileError, vbInformation,
                Translate("Error"));
    }
    return false;
  }
  sCurrentJobFile = path;
  bJobOpenFailed_ = false;
  lResumeFileIndex = 0;
  resumePoints.Clear();
  InitLogGrid(fgLog);
  View().UpdateMenuToolbar();
  {
    GridUpdateByCode guard(bGridUpdateByCode);
    fgToDo.SetRow(1);
  }
  bCurrentActionItemDirty = false;
  if (!bCommandLineMode) {
    SelectGridRow(fgToDo);
    Job().EnterToDoCell();  // the editor shows the highlighted task
    Job().AddOpenedJobFile(path);
    Job().SetFormCaption(GetFileNameFromPath(path));
  }
  bAskToSaveZolFileBeforeExit = false;
  return true;
}

void MainForm::ConversionJobNew() {
  if (bInRunLoop()) return;  // the window offers New only while idle
  if (!OfferToSaveJob()) return;  // a job the user wanted saved stays
  bAskToSaveZolFileBeforeExit = false;
  InitToDoGrid(fgToDo);
  InitLogGrid(fgLog);
  jobSource_ = JobSource{};
  bJobOpenFailed_ = false;
  lResumeFileIndex = 0;
  resumePoints.Clear();
  sCurrentJobFile = "*";
  Job().SetFormCaption("*");
  View().UpdateMenuToolbar();
}

bool MainForm::SaveLogAsConversionJob(const std::string& sFile) {
  std::string path = TypedPath(sFile);
  if (path.empty()) {
    path = Job().PickJobFile(true, Translate("Save"), "");
    if (path.empty()) return false;
  }
  std::string why;
  LogJobRows rows;
  if (!SaveLogGridAsJobFile(path, fgLog, &why, &rows)) {
    sJobFileError = why;
    ShowSaveFailure(why);
    return false;
  }
  if (!rows.leftOut.empty()) {
    std::string text = Translate("These log rows could not be stored in the conversion job and were left out:");
    for (int row : rows.leftOut)
      text += "\r\n" + Translate("Job # ") + fgLog.TextMatrix(row, kColNumber) + " - " +
              LogSafeLine(fgLog.TextMatrix(row, kColInput));
    CurrentUserInterface().MsgBox(text, vbOKOnly + vbInformation, Translate("Save"));
  }
  return true;
}

}  // namespace tessa
