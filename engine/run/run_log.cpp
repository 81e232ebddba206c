#include "engine/run/run_log.h"

#include <string>
#include <vector>

#include "common/log_writer.h"
#include "common/program_modes.h"
#include "common/translator.h"
#include "engine/task/file_types.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

constexpr int32_t kToDoRowLimit = 30000;

// The log-file line of a log row: its cells joined by TAB, each kept on the
// line and inside its cell (line breaks and TABs in a cell show as "\xNN").
std::string LogFileLine(const std::vector<std::string>& cells) {
  std::string line;
  for (size_t i = 0; i < cells.size(); ++i) {
    if (i) line += '\t';
    line += LogSafeLine(cells[i]);
  }
  return line;
}

// The log row of co: the ten to-do cells, the empty pass cell and status.
std::vector<std::string> TaskCells(const std::string& flags, const std::string& number, const clsConversionOptions& co,
                                   const std::string& inputExtension, const std::string& outputExtension,
                                   const std::string& status) {
  return {flags,
          co.sExtraParams,
          number,
          co.sActionToDo,
          co.sOriginalFile,
          std::to_string(co.lOriginalFileType),
          inputExtension,
          co.sTargetFile,
          std::to_string(co.lTargetFileType),
          outputExtension,
          "",
          status};
}

// The task number of a log row: the running job row's own, else lJobNumber.
std::string LoggedNumber(const MainForm& frm, int32_t lJobNumber) {
  return frm.sRunTaskNumber.empty() ? std::to_string(lJobNumber) : frm.sRunTaskNumber;
}

void ReplaceAll(std::string& s, char from, char to) {
  for (char& c : s) {
    if (c == from) c = to;
  }
}

// Puts the row's cells (whatever they hold) before the last, empty row of the
// log grid, marks it and leaves the empty last row current for the next one.
void InsertMarkedLogRow(FlexGrid& fgLog, const std::vector<std::string>& cells, int32_t lRetVal) {
  const int at = fgLog.Rows() - 1;
  if (!fgLog.AddRow(cells, at)) return;
  UpdatePassedCell(fgLog, at, lRetVal);
  fgLog.SetRow(fgLog.Rows() - 1);
  fgLog.SetCol(0);
  fgLog.SetColSel(fgLog.Cols() - 1);
}

}  // namespace

std::vector<std::string> BuildConversionLogRow(const MainForm& frm, int32_t lJobNumber,
                                               const clsConversionOptions& co) {
  const std::string inputExtension =
      co.lConversionMethod == 1 ? GetImageTypeExtension(co.lOriginalFileType, false) : std::string();
  const std::string outputExtension = GetFileTypeExtension(co.lTargetFileType, false, co.lConversionMethod);
  const std::string& flags = frm.fgToDo.TextMatrix(lJobNumber % kToDoRowLimit, 0);
  return TaskCells(flags, LoggedNumber(frm, lJobNumber), co, inputExtension, outputExtension, co.sErr);
}

void LogConversionError(MainForm& frm, int32_t lJobNumber, clsConversionOptions& co) {
  const bool bWithoutWindow = bCommandLineMode || bAutomationMode;
  if (!bWithoutWindow) {
    ReplaceAll(co.sErr, '\n', ' ');
    ReplaceAll(co.sErr, '\r', ' ');
  }
  const std::vector<std::string> row = BuildConversionLogRow(frm, lJobNumber, co);
  InsertMarkedLogRow(frm.fgLog, row, co.lErr);

  // Every row goes to the log file when all are logged; otherwise only the
  // row of an input moved under a free name goes to the task's own log.
  const bool bEveryRow = !frm.sLogFile.empty() || co.bVerboseLog;
  if (!bEveryRow && co.sInputNote.empty()) return;
  if (bEveryRow && !co.sLogFile.empty()) frm.sLogFile = co.sLogFile;
  WriteToLogFile(LogFileLine(row), bEveryRow ? frm.sLogFile : co.sLogFile, co.bVerboseLog);
}

void LogExitCode(MainForm& frm, int32_t lJobNumber, const clsConversionOptions& co) {
  const std::string status = Translate("Exit Code: ") + std::to_string(co.lCommandLineExitCode);
  InsertMarkedLogRow(frm.fgLog,
                     TaskCells(frm.fgToDo.TextMatrix(lJobNumber, 0), LoggedNumber(frm, lJobNumber), co, "", "", status),
                     0);
}

int32_t UpdatePassedCell(FlexGrid& fg, int32_t lRow, int32_t lRetVal) {
  if (fg.Cols() <= kPassColumn) return 0;
  if (lRow < 0 || lRow >= fg.Rows()) return 0;
  fg.SetTextMatrix(lRow, kPassColumn, lRetVal != 0 ? "-" : "+");
  fg.SetRow(lRow);
  fg.SetCol(0);
  fg.SetColSel(fg.Cols() - 1);
  CurrentUserInterface().DoEvents();
  return 0;
}

}  // namespace tessa
