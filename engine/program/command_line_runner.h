// The command-line runner: runs a parsed command line without a window (the
// job file of /J, or the command's single task as one block) and writes the
// outcome to the command's log file.
#pragma once

#include <cstdint>

#include "engine/run/run_clock.h"  // FormatElapsedSeconds of the time line
#include "engine/task/conversion_options.h"

namespace tessa {

class MainForm;

// Runs record on frm and logs the outcome to record.sLogFile: the log rows
// of a failed run ("Job # " lines) or "Conversion Successful" (a run stopped
// by a signal says so instead), then the elapsed time since
// frm.lTotalTimeStart; on failure with /B also the failed log rows as a job
// file, leaving out and logging those a job file cannot hold. Returns 0 on
// success; for a job file -1 when a task failed (a log row marked "-"); for
// a single task the block's own code.
int32_t PerformCommandLine(MainForm& frm, clsConversionOptions& record);

// Process exit codes of a command-line start.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitRunFailed = 1;
inline constexpr int kExitBadCommandLine = 2;

}  // namespace tessa
