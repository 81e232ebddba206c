// Special-process tasks ("S" rows): reloading a job file into the to-do grid
// (process 1) and starting an outside program with a priority and a time-out
// (process 60); their result texts; and the image type of a file by its
// extension.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/task/conversion_options.h"
#include "engine/job/flex_grid.h"
#include "engine/main_form.h"
#include "engine/result_codes.h"

namespace tessa {

// Priority classes of a started program (field 0 of its record).
inline constexpr int32_t kPriorityIdle = 64;
inline constexpr int32_t kPriorityNormal = 32;
inline constexpr int32_t kPriorityHigh = 128;
inline constexpr int32_t kPriorityRealtime = 256;

// Loads the job file sFile into fg from task lStartTask on (process 1).
using JobFileLoader = std::function<void(const std::string& sFile, int32_t lStartTask, FlexGrid& fg)>;

// Runs the special process of record by its lSpecialProcess: 1 loads the job
// file sTargetFile from task lTargetFileType into frm.fgToDo through
// loadJobFile (lErr unchanged); 60 runs the program (RunCommandLineItem);
// any other number runs nothing. Sets sErr from lErr and returns lErr.
// Nothing is ever deleted or moved here.
int32_t PerformSpecialProcessItem(MainForm& frm, clsConversionOptions& record,
                                  const JobFileLoader& loadJobFile = {});

// Starts record.sOriginalFile with the arguments record.sTargetFile, the
// priority, window state and wait seconds of record.sExtraParams (0 when
// missing), and waits for it. Stores its exit code in lCommandLineExitCode
// (0 unless it ended) and returns 0, -10 or -11.
int32_t RunCommandLineItem(MainForm& frm, clsConversionOptions& record);

// Expands the path macros of program and arguments, starts the program
// directly with the arguments split at blanks (double quotes group), at the
// nice value of priority (64 idle 19, 32 normal 0, 128 high -10, 256
// realtime -20; others inherit; a refused raise is ignored), and waits while
// frm.bRunning holds, up to waitSeconds (-1: no limit), showing the run's
// elapsed seconds in status panel 11 and yielding on every pass. Returns 0
// with exitCode set when the program ended, -10 when it could not be
// started, -11 when it was still running (it is left running; exitCode
// untouched). windowState has no meaning here and is ignored.
int32_t ExecAndWait(MainForm& frm, const std::string& program, const std::string& arguments, int32_t windowState,
                    int32_t priority, int32_t waitSeconds, int32_t& exitCode);

// The text of record.lErr: "Successfully Processed.", "Unable to launch
// application.", the time-out text, or "" for any other code; translated.
std::string GetErrorMessage(const clsConversionOptions& record);

// The image type code for path's extension (any case): 0 when the path has
// no extension, -1 when no input type has it.
int32_t GetFileTypeFromExtension(const std::string& path);

// The image type code an input is converted as when its task detects the
// type: TIFF (18) and JPEG (2) by the file's content, whatever its name
// ends with; any other file by its extension (GetFileTypeFromExtension).
int32_t DetectInputType(const std::string& path);

// The nice value of a priority class; false for a value that names none.
bool PriorityClassToNice(int32_t priority, int& niceValue);

}  // namespace tessa
