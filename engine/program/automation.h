// The automation class clsTessalumen: other programs drive the converter
// through it without a window. DoCommandLine takes one command line, runs it
// like a command-line start and returns a result code; an empty or
// incomplete command is also announced through OnError. The session-bus
// adaptor in apps/ forwards to this class and owns the process lifetime.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "engine/result_codes.h"

namespace tessa {

class MainForm;

// The text that the file manager's helper adds to its commands: the PDF
// options then come from the options last saved in the main window.
inline constexpr const char* kShellExtenderMarker = "/bUsingShellExtender";

// Texts of OnError; not translated.
inline constexpr const char* kAutomationEmptyCommandText = "Command line is empty or invalid";
inline constexpr const char* kAutomationInvalidCommandText = "Missing required command line argument(s)";

// The advanced PDF options used with the marker when the main window never
// saved any.
inline constexpr const char* kDefaultStoredAdvancedOptions =
    "FALSE^Brindlecove, Inc.^Brindlecove, Inc.^Image, PDF, Conversion^Image To PDF Conversion^"
    "Image To PDF Conversion Tools^";

class clsTessalumen {
 public:
  using ErrorEvent = std::function<void(int32_t lErr, const std::string& sErr)>;

  // Creation: marks the program as serving automation (bAutomationMode),
  // fixes the settings path and starts the translator. frm is the program's
  // one main form, shared by every instance and kept between calls.
  explicit clsTessalumen(MainForm& frm, ErrorEvent onError = {});

  // Runs sCommand (command-line syntax) without a window and returns 0 on
  // success, -2 for an empty command, -3 for one that does not parse or
  // validate (blanks only too), -6 for a job or a control failure that ended
  // with -1, else the run's own negative code. Every "/bUsingShellExtender"
  // is removed from sCommand; with it, the PDF options stored by the main
  // window replace those of the command, a "/+" option only switching
  // appending on. Each call starts with an empty log grid and writes nothing
  // to the settings file.
  int32_t DoCommandLine(std::string& sCommand);

 private:
  void RaiseOnError(int32_t lErr, const std::string& sErr);

  MainForm& frm_;
  ErrorEvent onError_;
};

// Removes every occurrence of marker (exact case) from text; true when there
// was one.
bool RemoveMarker(std::string& text, const std::string& marker);

// The stored advanced-options record with appending switched on when the
// command asks for it (a "/+" option word) and the record begins "FALSE^".
std::string StoredOptionsForCommand(const std::string& stored, const std::string& command);

}  // namespace tessa
