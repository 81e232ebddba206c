#include "engine/job/todo_grid.h"

#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "engine/main_form.h"
#include "engine/result_codes.h"
#include "engine/task/file_types.h"

namespace tessa {

std::string GetItemFlags(const clsConversionOptions& task) {
  std::string flags;
  if (task.bDoSubfolders) flags += "R";
  if (task.bSaveInOriginalFolder) flags += "G";
  if (task.lConversionMethod == 1) flags += "M";
  return flags;
}

bool bHasItemFlag(const std::string& flagsCell, char letter) {
  return flagsCell.substr(0, 9).find(letter) != std::string::npos;
}

std::string BuildToDoRowText(const clsConversionOptions& task, int32_t lNumber) {
  const bool conversion = task.sActionToDo.find('C') != std::string::npos;
  const std::string tab = "\t";
  const int32_t method = task.lConversionMethod;
  if (conversion) {
    const std::string inputExt =
        method == 1 ? GetFileTypeExtension(task.lOriginalFileType, false, method) : "";
    return GetItemFlags(task) + tab + task.sExtraParams + tab + std::to_string(lNumber) + tab + "C" + tab +
           task.sOriginalFile + tab + std::to_string(task.lOriginalFileType) + tab + inputExt + tab +
           task.sTargetFile + tab + std::to_string(task.lTargetFileType) + tab +
           GetFileTypeExtension(task.lTargetFileType, false, method);
  }
  const std::string extra = task.lSpecialProcess == kProcessStartProgram ? task.sExtraParams : " ";
  return GetItemFlags(task) + tab + extra + tab + std::to_string(lNumber) + tab + "S" +
         std::to_string(task.lSpecialProcess) + tab + task.sOriginalFile + tab +
         std::to_string(task.lOriginalFileType) + tab +
         GetFileTypeExtension(task.lOriginalFileType, false, method) + tab + task.sTargetFile + tab +
         std::to_string(task.lTargetFileType) + tab + GetFileTypeExtension(task.lTargetFileType, false, method);
}

std::vector<std::string> FailedLogRowCells(const std::string& sInput, const std::string& sStatus) {
  std::vector<std::string> cells(kLogCols);
  cells[kColInput] = sInput;
  cells[kColPass] = "-";
  cells[kColStatus] = sStatus;
  return cells;
}

std::string BuildReloadRowText(const std::string& sFile, int32_t lStartTask) {
  const std::string n = std::to_string(lStartTask);
  return " \t \t" + n + "\tS1\tReload conversion job start at task " + n + "\t0\t0\t" + sFile +
         "\t" + n;
}

void MainForm::InitToDoGrid(FlexGrid& grid) {
  GridUpdateByCode guard(bGridUpdateByCode);
  if (grid.Cols() != kToDoCols) grid.SetCols(kToDoCols);
  for (int col : {kColNumber, kColAction, kColInputExt, kColOutputExt})
    grid.SetColAlignment(col, FlexGrid::AlignCenter);
  grid.SetRows(1);
  const char* headings[kToDoCols] = {"", "", "#", "Do", "Input File(s)", "", "Type", "Output File(s)", "",
                                     "Type", "Pass"};
  for (int col = 0; col < kToDoCols; ++col) {
    const std::string h = headings[col];
    grid.SetTextMatrix(0, col, h.empty() || h == "#" ? h : Translate(h));
  }
  grid.SetRows(2);
  grid.SetTextMatrix(1, kColNumber, kPlaceholderMark);
  grid.SetRow(1);
  SelectGridRow(grid);
}

void MainForm::InitLogGrid(FlexGrid& grid) {
  GridUpdateByCode guard(bGridUpdateByCode);
  if (grid.Cols() != kLogCols) grid.SetCols(kLogCols);
  for (int col : {kColNumber, kColAction, kColInputExt, kColOutputExt})
    grid.SetColAlignment(col, FlexGrid::AlignCenter);
  grid.SetRows(1);
  grid.SetRows(2);
  const std::pair<int, const char*> headings[] = {{2, "#"},   {3, "Do"},          {4, ""},
                                                  {5, ""},    {6, ""},            {7, "Output File"},
                                                  {8, ""},    {9, "Type"},        {10, "Pass"},
                                                  {11, "Status"}};
  for (const auto& [col, text] : headings) {
    const std::string h = text;
    grid.SetTextMatrix(0, col, h.empty() ? h : Translate(h));
  }
  grid.SetRow(1);
  SelectGridRow(grid);
}

void MainForm::SelectGridRow(FlexGrid& grid) {
  GridUpdateByCode guard(bGridUpdateByCode);
  grid.SetCol(0);
  grid.SetColSel(grid.Cols() - 1);
}

void MainForm::ReadConversionItemFromGrid(clsConversionOptions& task, int32_t row, FlexGrid& grid) {
  if (row <= 0 || row >= grid.Rows() - 1) return;
  GridUpdateByCode guard(bGridUpdateByCode);
  grid.SetRow(row);
  const std::string& flags = grid.TextMatrix(row, kColFlags);
  task.bSaveInOriginalFolder = bHasItemFlag(flags, 'G');
  task.bDoSubfolders = bHasItemFlag(flags, 'R');
  task.bExportFormula = bHasItemFlag(flags, 'F');
  task.sExtraParams = grid.TextMatrix(row, kColExtra);
  task.sActionToDo = grid.TextMatrix(row, kColAction);
  if (task.sActionToDo.find('C') != std::string::npos)
    task.lConversionMethod = bHasItemFlag(flags, 'M') ? 1 : 2;
  task.sOriginalFile = ToForwardSlashes(grid.TextMatrix(row, kColInput));
  // An unreadable type cell keeps the record's default, as an empty one does.
  if (auto t = CLngText(grid.TextMatrix(row, kColInputType))) task.lOriginalFileType = *t;
  task.sTargetFile = grid.TextMatrix(row, kColOutput);
  if (auto t = CLngText(grid.TextMatrix(row, kColOutputType))) task.lTargetFileType = *t;
  if (task.sActionToDo.find('S') != std::string::npos) {
    std::string number;
    for (char c : task.sActionToDo)
      if (c != 'S') number += c;
    if (auto n = CLngText(number)) task.lSpecialProcess = *n;
  }
  // Stored paths may come from the original platform; a program's argument
  // text (process 60) is not a path and stays as written.
  if (!(task.sActionToDo.find('S') != std::string::npos && task.lSpecialProcess == kProcessStartProgram))
    task.sTargetFile = ToForwardSlashes(task.sTargetFile);
}

void MainForm::AddConversionItemToGrid(const clsConversionOptions& task, FlexGrid& grid) {
  if (grid.TextMatrix(1, kColNumber).empty()) InitToDoGrid(grid);
  const int32_t number = grid.Rows() - 1;
  const std::string text = BuildToDoRowText(task, number);
  GridUpdateByCode guard(bGridUpdateByCode);
  grid.AddItem(text, grid.Rows() - 1);
  Job().FocusToDoGrid();
  grid.SetRow(grid.Rows() - 2);
  SelectGridRow(grid);
}

}  // namespace tessa
