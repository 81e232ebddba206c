// One automation call's parse and run, the part of clsTessalumen that works
// on the main form: kept apart so the class itself stays a thin front.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

class MainForm;

// What happens when an automation instance is created: the settings path is
// fixed and the translator started (no language chooser, nothing written).
void StartAutomationInstance(MainForm& frm);

struct AutomationCallOutcome {
  bool parsed = false;  // the command parsed and validated
  int32_t result = 0;   // the command-line runner's result when parsed
};

// Parses sCommand (not empty, marker already removed) and, when it is valid,
// runs it with the window hidden: the job and log grids start empty, no box is shown
// and nothing is saved. With usingShellExtender the stored PDF options
// replace the command's. An invalid command logs "Missing required command
// line argument(s)" to the command's own log file.
AutomationCallOutcome RunAutomationCall(MainForm& frm, const std::string& sCommand, bool usingShellExtender);

}  // namespace tessa
