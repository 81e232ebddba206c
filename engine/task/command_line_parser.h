// Turns a command line into a validated task record: cuts it into words and
// options, applies each option to the record, builds the advanced PDF
// options, validates, and starts the log file named by /L with a header.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "engine/task/conversion_options.h"
#include "engine/main_form.h"

namespace tessa {

// One option of a command line: its letter (upper case) and its value.
struct CommandLineOption {
  char cLetter = 0;
  std::string sValue;
};

// Cuts text into words at blanks (spaces, tabs); a stretch in double quotes
// belongs to its word, blanks included, and keeps its quotes.
std::vector<std::string> SplitCommandLineWords(std::string_view text);

// True when word is an option: "/" and one more character, or "/" with one
// of F, C, P, M, 0 (any case) and an attached whole number ("/F-1", "/C100").
bool bIsCommandLineOption(std::string_view word);

// The options of words in order. A value is the attached number, else the
// words up to the next option joined by one blank and trimmed. Words before
// the first option are ignored.
std::vector<CommandLineOption> CutCommandLineOptions(const std::vector<std::string>& words);

// Fills task from the command line (text cut into words, or the program's
// arguments each taken as one word) and validates it. True when the task is
// valid. False for an empty command (bCommandLineMode then false), for
// "/?" (the help page is opened, nothing logged), and for a task that fails
// validation (its text is logged to /L). Sets the program-wide
// bCommandLineMode while the command is to run without a window.
bool ParseCommandLine(MainForm& form, const std::string& sCommand, clsConversionOptions& task);
bool ParseCommandLine(MainForm& form, const std::vector<std::string>& args, clsConversionOptions& task);

// The log header: "---------- <program> (v<major>.<minor><revision>) ----------",
// a line break, then "Date: " and the current local date and time.
std::string CommandLineLogHeader();

// The online help page about the command line.
std::string CommandLineHelpAddress();

}  // namespace tessa
