// Checking a task before it enters the job or a command line runs it:
// normalising its paths, completing its output name, creating missing
// output folders, and turning the verdict code into the window's boxes or
// the command line's log text.
#pragma once

#include <cstdint>
#include <string>

#include "engine/task/conversion_options.h"
#include "engine/main_form.h"
#include "engine/result_codes.h"

namespace tessa {

// Verdict codes left in clsConversionOptions::lErr by validation (kValidationOk
// and the others of engine/result_codes.h).

// Normalises task (macros expanded, paths trimmed, output completed, missing
// output folders created) and sets task.lErr to 0 or one of the codes
// above. Paths that only lost blanks keep the user's macros. Trims and
// completes the window's editor fields too when form's view has them. The
// type-mismatch test runs only outside command-line mode and while the
// notice is not switched off. Shows nothing.
void ValidateConversionItem(MainForm& form, clsConversionOptions& task);

// True when the folder part of an output (everything before its file name,
// or all of an output that ends in a separator) holds "*" or "?": a wildcard
// names files, never folders.
bool bOutputFolderHasWildcard(const std::string& sTarget);

// Explains task.lErr to the user in message boxes and offers the remedies
// (create the folder, add anyway, use the recommended folder, continue with
// mismatched types). An accepted folder remedy re-validates the task.
// True when a remedy was accepted and the task may be used: with lErr 0, or
// with kInputFileMissing when the user chose to add it anyway. An accepted
// type mismatch clears lErr and still returns false.
bool ShowConversionItemError(MainForm& form, clsConversionOptions& task);

// The command line's text for task.lErr (translated; paths not). Never
// empty for a failure code; "" for 0.
std::string CommandLineItemErrorText(const clsConversionOptions& task);

// Sets task.sErr to CommandLineItemErrorText and appends it to task.sLogFile;
// with task.bVerbose it is also shown in a box.
void LogCommandLineItemError(clsConversionOptions& task);

}  // namespace tessa
