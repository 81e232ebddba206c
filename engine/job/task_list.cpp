#include "engine/job/task_list.h"

#include <exception>

#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/status_panels.h"
#include "engine/task/validation.h"
#include "platform/user_interface.h"

namespace tessa {

std::string TimeRemainingCaption(int32_t lngDays, int32_t lngHours, int32_t lngMinutes, int32_t lngSeconds) {
  if (lngDays == 0 && lngHours == 0 && lngMinutes == 0 && lngSeconds == 0) return "Job is Running";
  std::string text;
  const std::pair<int32_t, const char*> parts[] = {{lngDays, "days"}, {lngHours, "hours"}, {lngMinutes, "minutes"}};
  for (const auto& [count, word] : parts)
    if (count != 0) text += std::to_string(count) + " " + Translate(word) + " : ";
  return text + std::to_string(lngSeconds) + " " + Translate("seconds") + " " + Translate("before next run") + ".";
}

void MainForm::cmdAdd_Click() {
  if (!Job().IsToolbarButtonEnabled("keyAdd", !bInRunLoop())) return;
  if (AddFileToConvertGUI()) Job().FocusToDoGrid();
}

void MainForm::cmdRemove_Click() {
  if (!Job().IsToolbarButtonEnabled("keyRemove", !bInRunLoop())) return;
  RemoveActionItem();
  Job().FocusToDoGrid();
}

bool MainForm::AddFileToConvertGUI() {
  try {
    bAskToSaveZolFileBeforeExit = true;
    clsConversionOptions co;
    if (!Job().CollectConversionItemFromGUI(co)) return false;  // no editor panel
    ValidateConversionItem(*this, co);
    if (co.lErr != 0 && !ShowConversionItemError(*this, co) && co.lErr != 0) return false;
    bCurrentActionItemDirty = false;
    AddConversionItemToGrid(co, fgToDo);
    View().UpdateMRUs();
    View().UpdateMenuToolbar();
    Job().SelectToDoTab();
    return true;
  } catch (const std::exception& e) {
    Job().SelectToDoTab();
    CurrentUserInterface().MsgBox(Translate("AddFileToConvertGUIErr: Unable to add") + "\r\n\r\n" + e.what(),
                                  vbInformation, Translate("Error"));
    return false;
  }
}

void MainForm::RemoveActionItem() {
  if (bInRunLoop()) return;  // the running loop owns the row numbers
  bAskToSaveZolFileBeforeExit = true;
  if (fgToDo.TextMatrix(1, kColNumber).empty()) {
    InitToDoGrid(fgToDo);
    return;
  }
  if (fgToDo.Row() == 1 && fgToDo.Rows() == 2) return;
  const int current = fgToDo.Row();
  if (current > 0 && fgToDo.TextMatrix(current, kColNumber) != kPlaceholderMark) {
    RemoveAllFilesWithJobNumber(current);
    Job().EnterToDoCell();
  }
}

void MainForm::RemoveAllFilesWithJobNumber(int32_t lJob) {
  if (lJob < 1 || lJob > fgToDo.Rows() - 2) return;  // never the headings or the placeholder
  GridUpdateByCode guard(bGridUpdateByCode);
  fgToDo.RemoveItem(lJob);
  for (int row = 1; row <= fgToDo.Rows() - 2; ++row) fgToDo.SetTextMatrix(row, kColNumber, std::to_string(row));
  resumePoints.Removed(lJob);  // they follow their tasks, or go with them
}

bool MainForm::frmSched_RunTheJobEvent(const std::string& strTimerFile) {
  if (bInRunLoop() || bLoadingJob_) {
    // Opening now would replace the rows under the running loop.
    sJobFileError = Translate("The scheduled conversion job was not started because a conversion job is running: ") +
                    strTimerFile;
    CurrentUserInterface().SetStatusPanel(kPanelCurrentFile, sJobFileError);
    return false;
  }
  // The open job is replaced without asking; one that stays keeps its flag.
  const bool bAskedBefore = bAskToSaveZolFileBeforeExit;
  bAskToSaveZolFileBeforeExit = false;
  if (!ConversionJobOpen(strTimerFile)) {
    bAskToSaveZolFileBeforeExit = bAskedBefore;
    return false;
  }
  ConversionJobRewind();
  ConversionJobBegin();
  return true;
}

void MainForm::frmSched_DisplayTimeRemainingEvent(int32_t lngDays, int32_t lngHours, int32_t lngMinutes,
                                                  int32_t lngSeconds) {
  Job().SetFrameCaption(TimeRemainingCaption(lngDays, lngHours, lngMinutes, lngSeconds));
}

}  // namespace tessa
