#include "engine/program/automation.h"

#include "common/text_helpers.h"
#include "common/program_modes.h"
#include "engine/program/automation_call.h"
#include "engine/main_form.h"

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
  if (command.find("/+") != std::string::npos && stored.compare(0, 6, "FALSE^") == 0)
    return "TRUE^" + stored.substr(6);
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
  if (TrimBlanks(sCommand).empty()) {
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
