// The texts of the context helper: the command line sent to tessaprint for
// one file, the error line of a file and the texts of the result codes.
#pragma once

#include <cstdint>
#include <string>

namespace tessa::ferrowick {

// The three work routines; their result texts differ.
enum class WorkRoutine { kConvert, kAppend, kConvertAndAppend };

// The command for one file: /S "<input>" /T "<output>" /F -1, " /+" when
// appending, and the marker /bUsingShellExtender.
std::string BuildHelperCommand(const std::string& input, const std::string& output, bool append);

// Why path cannot be passed on in a command, as the skip text of its file;
// "" when it can. A double quote would end the value early; tessaprint reads
// a backslash of a command line as "/" and drops blanks at the ends of a
// path, and reads "*" and "?" as wildcards, so a name holding any of these
// would name another file or folder.
std::string CommandRefusal(const std::string& path);

// The text of a DoCommandLine result for routine; "" for 0.
std::string ResultText(WorkRoutine routine, int32_t code);

// The error line of a file: "Error: <input> - <text>".
std::string FileErrorLine(const std::string& input, const std::string& text);

// The text shown when tessaprint's automation service cannot be used:
// number 429 (it cannot be reached) or 438 (it lacks the method).
std::string AutomationFailureText(int number);

// The error numbers of a failed automation call.
inline constexpr int kErrCannotCreateObject = 429;
inline constexpr int kErrMethodNotSupported = 438;

// Texts of the run.
inline constexpr const char* kNoFilesChosen = "Warning: No files chosen.";
inline constexpr const char* kOverwriteTitle = "Overwrite?";
inline constexpr const char* kSingleOutputName = "Vemo-Output.PDF";
inline constexpr const char* kOutputFolderName = "Vemo-Output";
inline constexpr const char* kProgramTitle = "Ferrowick";

}  // namespace tessa::ferrowick
