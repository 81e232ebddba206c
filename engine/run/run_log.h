// The record of a run: a log row per outcome in the log grid, the same row
// as a line of the log file, and the pass mark ("+" or "-") of a to-do or log
// row.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/task/conversion_options.h"
#include "engine/job/flex_grid.h"
#include "engine/main_form.h"

namespace tessa {

// The pass column of to-do and log rows.
inline constexpr int kPassColumn = 10;

// The twelve cells of the log row of a conversion or special-process
// outcome: the task's to-do row (its flags read from frm.fgToDo row
// lJobNumber Mod 30000; its number frm.sRunTaskNumber while a job row runs,
// else lJobNumber) followed by co.sErr as the status.
std::vector<std::string> BuildConversionLogRow(const MainForm& frm, int32_t lJobNumber,
                                               const clsConversionOptions& co);

// Records the outcome of co (task lJobNumber): inserts its log row before the
// last (empty) row of frm.fgLog and marks it by co.lErr, leaving the empty
// last row current; then appends the row to the log file when frm.sLogFile
// is set or co.bVerboseLog asks (co.sLogFile, when set, first becomes
// frm.sLogFile), and otherwise to co.sLogFile when co.sInputNote tells what
// became of the input (a free name in the move folder, a failed delete or
// move): one line with its cells joined
// by TAB. Outside command-line and automation runs the line breaks
// of co.sErr become blanks first (co keeps the change).
void LogConversionError(MainForm& frm, int32_t lJobNumber, clsConversionOptions& co);

// Records the exit code of the program started by co (process 60) as a log
// row with a "+" mark; writes nothing to the log file.
void LogExitCode(MainForm& frm, int32_t lJobNumber, const clsConversionOptions& co);

// Marks row lRow of fg: "+" for lRetVal 0, else "-", in the pass column
// (nothing when fg has none); then makes lRow current with the whole row
// selected and yields once. The return value means nothing.
int32_t UpdatePassedCell(FlexGrid& fg, int32_t lRow, int32_t lRetVal);

}  // namespace tessa
