// Every number the engine reports an outcome with, in one table: the special
// process numbers of an "S" task, the verdicts of validation, the run codes of
// items, blocks and special processes, and the results of DoCommandLine. The
// three code spaces are separate and share some numbers; a log line prints
// the number itself.
#pragma once

#include <cstdint>

namespace tessa {

// --- special-process numbers (lSpecialProcess of an "S" task) ---
inline constexpr int32_t kProcessReloadJob = 1;      // go on with the rest of a job file
inline constexpr int32_t kProcessStartProgram = 60;  // start an outside program and wait

// --- validation verdicts (lErr after ValidateConversionItem) ---
inline constexpr int32_t kValidationOk = 0;
inline constexpr int32_t kInputFolderMissing = -1;         // mask input, its folder is missing
inline constexpr int32_t kMaskOutputFolderMissing = -3;    // mask output, its folder could not be made
inline constexpr int32_t kInputFileMissing = -4;           // single input missing or empty name
inline constexpr int32_t kWildcardOutputForOneFile = -5;   // single input with a "*" output
inline constexpr int32_t kOutputFolderMissing = -6;        // output's folder could not be made
inline constexpr int32_t kInvalidOutputType = -7;          // output type not valid under the method
inline constexpr int32_t kJobFileMissing = -8;             // /J names no existing file
inline constexpr int32_t kNoPdfOptions = -10;              // empty extra parameters
inline constexpr int32_t kInputTypeMismatch = -13;         // extension contradicts the input type
inline constexpr int32_t kManyInputsOneOutput = -14;       // mask input, one output, no append
inline constexpr int32_t kWildcardInOutputFolder = -15;    // "*" or "?" before the output's file name
inline constexpr int32_t kInvalidSpecialProcess = -101;    // special process other than 60
inline constexpr int32_t kSpecialProcessWildcard = -102;   // process 60 with "*" in its program
inline constexpr int32_t kOutputNotWriteable = -1000000;   // the output's folder cannot be written

// --- run codes of an item (PerformConversionItem) and of a block ---
// -1, -2, -3 and -5 are the control's Done status negated.
inline constexpr int32_t kRunOk = 0;
inline constexpr int32_t kRunGeneralFailure = -1;       // status 1: the PDF could not be written
inline constexpr int32_t kRunNoSource = -2;             // status 2: no source or it is missing
inline constexpr int32_t kRunNoOutput = -3;             // status 3: no output named
inline constexpr int32_t kRunInvalidFormat = -5;        // status 5, or no PDF after a reported success
inline constexpr int32_t kRunOutputFolderMissing = -100;  // the output's folder cannot be made
inline constexpr int32_t kRunFrameNotSaved = -103;      // a TIFF frame could not be written
inline constexpr int32_t kRunFrameNotLoaded = -110;     // a TIFF frame could not be loaded
inline constexpr int32_t kRunNothingConverted = -113;   // no page of the input was converted
inline constexpr int32_t kRunFileListFailed = -10000;   // the input mask's files could not be listed
inline constexpr int32_t kReloadFailed = -1;            // a reload row whose job file brought no tasks

// --- codes of special process 60 ---
inline constexpr int32_t kProcessOk = 0;
inline constexpr int32_t kProcessLaunchFailed = -10;  // the program could not be started
inline constexpr int32_t kProcessTimeout = -11;       // still running when the wait ended

// --- results of DoCommandLine besides 0 and the run's own codes ---
inline constexpr int32_t kAutomationEmptyCommand = -2;
inline constexpr int32_t kAutomationInvalidCommand = -3;
inline constexpr int32_t kAutomationJobFailed = -6;   // a run that ended with -1
inline constexpr int32_t kJobRunFailed = -1;          // a job file run with a failed log row

}  // namespace tessa
