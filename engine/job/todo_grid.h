// The to-do row: eleven text cells per task (flags, options record, number,
// kind, input, input type, input extension, output, output type, output
// extension, pass mark), the placeholder row that ends the grid, and the
// pure helpers that build and read rows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/task/conversion_options.h"

namespace tessa {

// Cells of a to-do row (a log row adds kColStatus).
inline constexpr int kColFlags = 0;
inline constexpr int kColExtra = 1;
inline constexpr int kColNumber = 2;
inline constexpr int kColAction = 3;
inline constexpr int kColInput = 4;
inline constexpr int kColInputType = 5;
inline constexpr int kColInputExt = 6;
inline constexpr int kColOutput = 7;
inline constexpr int kColOutputType = 8;
inline constexpr int kColOutputExt = 9;
inline constexpr int kColPass = 10;
inline constexpr int kColStatus = 11;
inline constexpr int kToDoCols = 11;
inline constexpr int kLogCols = 12;

// Column 2 of the placeholder row that always ends the to-do grid.
inline constexpr const char* kPlaceholderMark = "*";

// Flag letters of the add form: "R" subfolders, "G" beside the input, "M"
// conversion method 1, in that order and each only when set.
std::string GetItemFlags(const clsConversionOptions& task);

// True when letter occurs within the first nine characters of a flags cell.
bool bHasItemFlag(const std::string& flagsCell, char letter);

// The ten cells of task as a new to-do row numbered lNumber, joined by TAB
// (the pass cell is left off): a "C" row when sActionToDo holds "C", else an
// "S" row.
std::string BuildToDoRowText(const clsConversionOptions& task, int32_t lNumber);

// The cells of a log row marked failed that names sInput and gives sStatus:
// the row of a job file that could not be opened or holds no task.
std::vector<std::string> FailedLogRowCells(const std::string& sInput, const std::string& sStatus);

// The row that makes the run loop load sFile again from line lStartTask:
// nine cells joined by TAB.
std::string BuildReloadRowText(const std::string& sFile, int32_t lStartTask);

}  // namespace tessa

namespace tessa {

// Sets the form's bGridUpdateByCode for its lifetime and clears it at the end
// only when it was clear before, so nested fills leave it to the outer one.
class GridUpdateByCode {
 public:
  explicit GridUpdateByCode(bool& flag) : flag_(flag), old_(flag) { flag_ = true; }
  ~GridUpdateByCode() {
    if (!old_) flag_ = false;
  }
  GridUpdateByCode(const GridUpdateByCode&) = delete;
  GridUpdateByCode& operator=(const GridUpdateByCode&) = delete;

 private:
  bool& flag_;
  bool old_;
};

}  // namespace tessa
