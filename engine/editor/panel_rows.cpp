// The panel and the to-do rows: the task it shows, loading the current row
// into it, writing it back on Update, and following the user from row to row.
#include <exception>

#include "common/file_helpers.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "engine/editor/item_editor_panel.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/task/caret_records.h"
#include "engine/task/file_types.h"
#include "engine/task/validation.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

bool Contains(const std::string& s, char c) { return s.find(c) != std::string::npos; }

// A refusal of the panel's task, in the form of validation's own boxes.
void ShowCollectError(const std::string& detail) {
  CurrentUserInterface().MsgBox(Translate("Unable to add/update: ") + "\r\n\r\n" + detail, vbInformation,
                                Translate("Error"));
}

bool IsTaskRow(const FlexGrid& grid, int row) {
  return row > 0 && row < grid.Rows() - 1 && !grid.TextMatrix(row, kColNumber).empty();
}

}  // namespace

bool ItemEditorPanel::CollectConversionItemFromGUI(clsConversionOptions& co) {
  if (s_.rbActionToDo == 0) {
    co.sActionToDo = "C";
    const auto inType = s_.cbFileTypeOriginal.ItemData();
    const auto outType = s_.cbFileTypeTarget.ItemData();
    if (!inType || !outType) {
      ShowCollectError(Translate("Choose the input and the output file format."));
      return false;
    }
    if (s_.cbSaveToOriginalFolder)
      SetOutputText(PathInFolder(GetParentFolder(ToForwardSlashes(s_.cbOriginalFile)),
                                 GetFileTypeExtension(*outType, true, form_.lConversionMethod)));
    co.lConversionMethod = kMethodImageConversion;
    co.lOriginalFileType = *inType;
    co.sOriginalFile = TrimBlanks(s_.cbOriginalFile);
    co.lTargetFileType = *outType;
    co.sTargetFile = TrimBlanks(s_.cbTargetFile);
    co.bDoSubfolders = s_.cbDoSubfolders;
    co.bSaveInOriginalFolder = s_.cbSaveToOriginalFolder;
    co.sExtraParams = form_.sQuirepaneAdvancedOptions;
    return true;
  }

  const auto process = s_.cbSpecialProcesses.ItemData();
  if (!process) {
    ShowCollectError(Translate("Choose a special process."));
    return false;
  }
  std::string record;
  if (*process == kSpecialProcessStartProgram) {
    const auto priority = s_.cbCommandLineThreadPriority.ItemData();
    const auto state = s_.cbCommandLineWindowState.ItemData();
    const auto wait = CLngText(s_.txtCommandLineWaitTimeInSeconds);
    if (!wait) {
      ShowCollectError(Translate("The wait time is not a whole number of seconds:") + " " +
                       s_.txtCommandLineWaitTimeInSeconds);
      view_->FocusControl("txtCommandLineWaitTimeInSeconds");
      return false;
    }
    if (!priority || !state) {
      ShowCollectError(Translate("Choose the window state and the priority of the program."));
      return false;
    }
    record = JoinCaretFields3(*priority, *state, *wait);
  }
  co.lConversionMethod = kMethodSpecialProcess;
  co.lSpecialProcess = *process;
  co.sActionToDo = "S" + std::to_string(*process);
  if (*process == kSpecialProcessStartProgram) {
    co.sOriginalFile = s_.cbCommandLine;
    co.sTargetFile = s_.cbCommandLineArguments;
    co.sExtraParams = record;
  }
  return true;
}

bool ItemEditorPanel::ConversionJobUpdate() {
  // A running job owns its rows: the pass marks belong to the tasks as they stand.
  if (form_.bRunning || form_.bInRunLoop() || !IsTaskRow(form_.fgToDo, form_.fgToDo.Row())) return false;
  Batch b(*this);
  try {
    form_.bAskToSaveZolFileBeforeExit = true;
    clsConversionOptions co;
    if (!CollectConversionItemFromGUI(co)) return false;
    ValidateConversionItem(form_, co);
    if (co.lErr != 0 && !ShowConversionItemError(form_, co) && co.lErr != 0) return false;
    if (Contains(co.sActionToDo, 'C')) {
      UpdateGridFromGUI_ConversionItem();
    } else if (Contains(co.sActionToDo, 'S')) {
      UpdateGridFromGUI_SpecializedItem();
    }
    form_.resumePoints.Forget(form_.fgToDo.Row());  // the task changed: it starts again
    form_.bCurrentActionItemDirty = false;
    form_.View().UpdateMenuToolbar();
    return true;
  } catch (const std::exception& e) {
    CurrentUserInterface().MsgBox(Translate("ConversionJobUpdate: Unable to update") + "\r\n\r\n" + e.what(),
                                  vbInformation, Translate("Error"));
    return false;
  }
}

void ItemEditorPanel::UpdateGridFromGUI_ConversionItem() {
  form_.Job().FocusToDoGrid();
  FlexGrid& grid = form_.fgToDo;
  const int row = grid.Row();
  const int32_t inType = s_.cbFileTypeOriginal.ItemData().value_or(kFileTypeAuto);
  const int32_t outType = s_.cbFileTypeTarget.ItemData().value_or(kFileTypePdf);
  {
    GridUpdateByCode loading(form_.bGridUpdateByCode);
    std::string flags = s_.cbDoSubfolders ? "R" : "";
    if (s_.cbSaveToOriginalFolder) flags += " G";
    flags += " M";
    grid.SetTextMatrix(row, kColFlags, flags);
    grid.SetTextMatrix(row, kColExtra, form_.sQuirepaneAdvancedOptions);
    grid.SetTextMatrix(row, kColAction, "C");
    grid.SetTextMatrix(row, kColInput, TrimBlanks(s_.cbOriginalFile));
    grid.SetTextMatrix(row, kColInputType, std::to_string(inType));
    grid.SetTextMatrix(row, kColInputExt, GetImageTypeExtension(inType, false));
    grid.SetTextMatrix(row, kColOutput, TrimBlanks(s_.cbTargetFile));
    grid.SetTextMatrix(row, kColOutputType, std::to_string(outType));
    grid.SetTextMatrix(row, kColOutputExt, GetFileTypeExtension(outType, false, form_.lConversionMethod));
  }
  form_.lConversionMethod = kMethodImageConversion;
  form_.View().UpdateMRUs();
}

void ItemEditorPanel::UpdateGridFromGUI_SpecializedItem() {
  form_.Job().FocusToDoGrid();
  FlexGrid& grid = form_.fgToDo;
  const int row = grid.Row();
  form_.lConversionMethod = kMethodSpecialProcess;
  const int32_t process = s_.cbSpecialProcesses.ItemData().value_or(0);
  std::string program, arguments, record;
  if (process == kSpecialProcessStartProgram) {
    program = s_.cbCommandLine;
    arguments = s_.cbCommandLineArguments;
    record = JoinCaretFields3(s_.cbCommandLineThreadPriority.ItemData().value_or(0),
                              s_.cbCommandLineWindowState.ItemData().value_or(0),
                              CLngText(s_.txtCommandLineWaitTimeInSeconds).value_or(-1));
  }
  {
    GridUpdateByCode loading(form_.bGridUpdateByCode);
    const std::pair<int, std::string> cells[] = {
        {kColFlags, ""},        {kColExtra, record},       {kColAction, "S" + std::to_string(process)},
        {kColInput, program},   {kColInputType, "0"},      {kColInputExt, ""},
        {kColOutput, arguments}, {kColOutputType, "0"},     {kColOutputExt, ""}};
    for (const auto& [col, text] : cells) grid.SetTextMatrix(row, col, text);
  }
  form_.View().UpdateMRUs();
}

void ItemEditorPanel::UpdateGUI_ConversionItemViaCellContents(int row) {
  Batch b(*this);
  GridUpdateByCode loading(form_.bGridUpdateByCode);
  const FlexGrid& grid = form_.fgToDo;
  const std::string& flags = grid.TextMatrix(row, kColFlags);
  s_.rbActionToDo = 0;
  s_.frameSpecializedActionVisible = false;
  s_.cbDoSubfolders = bHasItemFlag(flags, 'R');
  s_.cbSaveToOriginalFolder = bHasItemFlag(flags, 'G');
  s_.frameTargetFileVisible = !s_.cbSaveToOriginalFolder;
  // The row decides what the panel edits: its kind, method and PDF options.
  form_.sActionToDo = "C";
  form_.lConversionMethod = kMethodImageConversion;
  s_.cbFileTypeOriginalVisible = true;
  FillInFileTypeComboBoxImage();
  FillInFileTypeComboBoxTarget();
  form_.sQuirepaneAdvancedOptions = grid.TextMatrix(row, kColExtra);

  SetInputText(grid.TextMatrix(row, kColInput));
  if (const auto code = CLngText(grid.TextMatrix(row, kColInputType))) {
    const int index = s_.cbFileTypeOriginal.IndexOfItemData(*code);
    if (index >= 0) SelectInputType(index);
  }
  SetOutputText(grid.TextMatrix(row, kColOutput));
  if (const auto code = CLngText(grid.TextMatrix(row, kColOutputType))) {
    const int index = s_.cbFileTypeTarget.IndexOfItemData(*code);
    if (index >= 0) SelectOutputType(index);
  }
  if (bHasWildcards(s_.cbOriginalFile)) {
    s_.cbSaveToOriginalFolderVisible = Contains(s_.cbTargetFile, '*');
    s_.cbDoSubfoldersVisible = true;
  } else {
    s_.cbSaveToOriginalFolderVisible = false;
    s_.cbSaveToOriginalFolder = false;
    s_.cbDoSubfoldersVisible = false;
    s_.cmdSelectTargetFileVisible = true;
  }
}

void ItemEditorPanel::UpdateGUI_SpecializedToDOItemViaCellContents(int row) {
  Batch b(*this);
  GridUpdateByCode loading(form_.bGridUpdateByCode);
  const FlexGrid& grid = form_.fgToDo;
  s_.rbActionToDo = 1;
  s_.frameSpecializedActionVisible = true;
  form_.sActionToDo = "S";
  form_.lConversionMethod = kMethodSpecialProcess;

  std::string number;
  for (char c : grid.TextMatrix(row, kColAction))
    if (c != 'S' && c != 's') number += c;
  const auto process = CLngText(number);
  if (process) {
    const int index = s_.cbSpecialProcesses.IndexOfItemData(*process);
    if (index >= 0) SelectSpecialProcess(index);
  }
  // The program's fields show with their process; a process that is not in
  // the list leaves the selection, and so the fields, as they were.
  s_.frameCommandLineVisible = s_.cbSpecialProcesses.ItemData() == kSpecialProcessStartProgram;
  if (process == kSpecialProcessStartProgram) {
    SetCommandLine(grid.TextMatrix(row, kColInput));
    SetCommandLineArguments(grid.TextMatrix(row, kColOutput));
    int32_t priority = 0, state = 0, wait = 0;
    SplitCaretFields3(grid.TextMatrix(row, kColExtra), priority, state, wait);
    if (const int index = s_.cbCommandLineThreadPriority.IndexOfItemData(priority); index >= 0)
      SelectThreadPriority(index);
    if (const int index = s_.cbCommandLineWindowState.IndexOfItemData(state); index >= 0) SelectWindowState(index);
    SetWaitTimeText(std::to_string(wait));
  }
  RefreshFileFolderGUISpecialized();
}

void ItemEditorPanel::fgToDo_EnterCell() {
  FlexGrid& grid = form_.fgToDo;
  lastRow_ = grid.Row();
  if (form_.bRunning || Loading()) return;
  Batch b(*this);
  form_.SelectGridRow(grid);
  const int row = grid.Row();
  if (IsTaskRow(grid, row)) {
    const std::string& action = grid.TextMatrix(row, kColAction);
    if (Contains(action, 'C')) {
      UpdateGUI_ConversionItemViaCellContents(row);
    } else if (Contains(action, 'S')) {
      UpdateGUI_SpecializedToDOItemViaCellContents(row);
    }
    form_.bCurrentActionItemDirty = false;
  }
  form_.View().UpdateMenuToolbar();
  form_.SelectGridRow(grid);
}

bool ItemEditorPanel::fgToDo_LeaveCell() {
  if (form_.bRunning || Loading()) return true;
  return form_.bCheckToUpdateDirtyConversionItem();
}

// The grid tells after its current row changed; the row being left is the one
// the panel followed until now.
void ItemEditorPanel::GridChanged(int kind) {
  const int row = form_.fgToDo.Row();
  if (bRowChanging_ || row == lastRow_) return;
  if (!bFollowGridRows_ || kind != GridChange::CurrentChanged || Loading() || form_.bRunning) {
    lastRow_ = row;
    return;
  }
  RowChangedByUser(lastRow_, row);
}

bool ItemEditorPanel::RowChangedByUser(int left, int entered) {
  Batch b(*this);
  FlexGrid& grid = form_.fgToDo;
  bRowChanging_ = true;
  {
    GridUpdateByCode loading(form_.bGridUpdateByCode);
    grid.SetRow(left);
  }
  const bool bGoOn = fgToDo_LeaveCell();
  if (bGoOn) {
    GridUpdateByCode loading(form_.bGridUpdateByCode);
    grid.SetRow(entered);
  }
  bRowChanging_ = false;
  lastRow_ = grid.Row();
  // Cancel keeps the edited task on its own row.
  if (bGoOn) fgToDo_EnterCell();
  return bGoOn;
}

}  // namespace tessa
