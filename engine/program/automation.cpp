#include "engine/program/automation.h"

#include <algorithm>
#include <vector>

#include "common/program_modes.h"
#include "engine/program/automation_call.h"
#include "engine/main_form.h"
#include "engine/task/command_line_parser.h"

namespace tessa {

bool RemoveMarker(std::string& text, const std::string& marker) {
  if (marker.empty()) return false;
  bool found = false;
  for (size_t at = text.find(marker); at != std::string::npos; at = text.find(marker, at)) {
    text.erase(at, marker.size());
    found = true;
  }
  return found;
}

std::string StoredOptionsForCommand(const std::string& stored, const std::string& command) {
  // Only a "/+" option counts, as on the command line: not one inside a path.
  const std::vector<CommandLineOption> options = CutCommandLineOptions(SplitCommandLineWords(command));
  const bool bAppend =
      std::any_of(options.begin(), options.end(), [](const CommandLineOption& o) { return o.cLetter == '+'; });
  if (bAppend && stored.compare(0, 6, "FALSE^") == 0) return "TRUE^" + stored.substr(6);
  return stored;
}

clsTessalumen::clsTessalumen(MainForm& frm, ErrorEvent onError) : frm_(frm), onError_(std::move(onError)) {
  bAutomationMode = true;
  StartAutomationInstance(frm_);
}

void clsTessalumen::RaiseOnError(int32_t lErr, const std::string& sErr) {
  if (onError_) onError_(lErr, sErr);
}

int32_t clsTessalumen::DoCommandLine(std::string& sCommand) {
  const bool usingShellExtender = RemoveMarker(sCommand, kShellExtenderMarker);
  if (sCommand.empty()) {
    RaiseOnError(kAutomationEmptyCommand, kAutomationEmptyCommandText);
    return kAutomationEmptyCommand;
  }
  AutomationCallOutcome outcome = RunAutomationCall(frm_, sCommand, usingShellExtender);
  if (!outcome.parsed) {
    RaiseOnError(kAutomationInvalidCommand, kAutomationInvalidCommandText);
    return kAutomationInvalidCommand;
  }
  return outcome.result == kJobRunFailed ? kAutomationJobFailed : outcome.result;
}

}  // namespace tessa
