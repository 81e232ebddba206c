// The conversion job file (.ZOL): one line per to-do row, every cell followed
// by a TAB, lines ended by CR LF, the placeholder row last; and the log grid
// saved in the same form so that failed tasks can be run again.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/job/flex_grid.h"

namespace tessa {

// One job-file line: every cell followed by TAB, then CR LF.
std::string JobFileLine(const std::vector<std::string>& cells);

// The job-file text of grid rows first .. last (inclusive), every column.
std::string JobFileText(const FlexGrid& fg, int first, int last);

// Splits file text into lines at CR LF, LF or CR; a last line without an
// end counts, an empty text has no lines.
std::vector<std::string_view> SplitJobFileLines(std::string_view text);

// True for a line that the loader skips: empty apart from blanks and TABs,
// or the placeholder row (its third character is "*").
bool bIsSkippedJobLine(std::string_view line);

// True when every cell can be stored in a job-file line: none holds a TAB,
// CR or LF, which would split the line, or bytes that are not UTF-8, which
// would read back as other letters; the input and output of a conversion
// row (cells 4 and 7) read the same as typed paths: a job file reads "\" as
// "/" and drops blanks at their ends, so a listed name holding either would
// name another file; and its input is no existing file whose name holds "*"
// or "?", which would run again as a mask of its neighbours.
bool bStorableInJobFile(const std::vector<std::string>& cells);

// Which log rows SaveLogGridAsJobFile writes, and which it had to leave out.
struct LogJobRows {
  bool bFailedOnly = false;  // only the rows marked "-" (the failed tasks)
  std::vector<int> leftOut;  // out: rows whose cells cannot be stored
};

// Writes the log rows of fg (every row but empty ones and those that cannot
// be stored) as a job file, eight cells a line: log columns 0 to 7, the
// task's options record among them. Written to a temporary file and renamed
// into place, so a failure keeps an old file. False on failure, with error
// naming the file and the reason.
bool SaveLogGridAsJobFile(const std::string& sFile, const FlexGrid& fg, std::string* error = nullptr,
                          LogJobRows* rows = nullptr);

}  // namespace tessa
