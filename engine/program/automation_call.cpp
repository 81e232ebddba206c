#include "engine/program/automation_call.h"

#include "common/help_launcher.h"
#include "common/log_writer.h"
#include "common/program_modes.h"
#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/program/automation.h"
#include "engine/task/command_line_parser.h"
#include "engine/program/command_line_runner.h"
#include "engine/main_form.h"
#include "platform/ini_file.h"
#include "platform/tick_count.h"

namespace tessa {

namespace {

// Sets bCommandLineMode for the life of the object, then clears it.
class CommandLineModeScope {
 public:
  CommandLineModeScope() { bCommandLineMode = true; }
  ~CommandLineModeScope() { bCommandLineMode = false; }
  CommandLineModeScope(const CommandLineModeScope&) = delete;
  CommandLineModeScope& operator=(const CommandLineModeScope&) = delete;
};

// The advanced PDF options last saved by the main window, read whole as the
// window reads them.
std::string StoredAdvancedOptions() {
  return TrimAtNull(ReadIniString(sIniFile, "frmMain", "sQuirepaneAdvancedOptions", kDefaultStoredAdvancedOptions));
}

}  // namespace

void StartAutomationInstance(MainForm&) {
  // The translator neither asks nor stores anything for an automation start.
  CommandLineModeScope noSettings;
  sIniFile = GetIniFilePath(18);
  InitializeTranslator();
  InitializeHelpFile();
}

AutomationCallOutcome RunAutomationCall(MainForm& frm, const std::string& sCommand, bool usingShellExtender) {
  AutomationCallOutcome outcome;
  // Each call starts from an empty job and log: the rows of earlier calls
  // are neither reported again nor written to this call's job file, and a
  // job an earlier call loaded lends nothing to this call's rows.
  frm.InitToDoGrid(frm.fgToDo);
  frm.InitLogGrid(frm.fgLog);
  // A call's own /L may become the form's log file while it runs; the next
  // call starts again from the form's own setting.
  const std::string formLogFile = frm.sLogFile;
  struct RestoreLogFile {
    MainForm& frm;
    const std::string& file;
    ~RestoreLogFile() { frm.sLogFile = file; }
  } restore{frm, formLogFile};

  clsConversionOptions record;
  CommandLineModeScope commandLine;
  outcome.parsed = ParseCommandLine(frm, sCommand, record);
  // Automation never shows message boxes.
  record.bVerbose = false;
  if (!outcome.parsed) {
    WriteToLogFile(Translate(kAutomationInvalidCommandText), record.sLogFile, false);
    return outcome;
  }
  // The parser may have cleared the mode for the window-only options, which
  // mean nothing here.
  bCommandLineMode = true;
  frm.bRunning = true;
  frm.lTotalTimeStart = GetTickCount();
  if (usingShellExtender) {
    sIniFile = GetIniFilePath(18);
    record.sExtraParams = StoredOptionsForCommand(StoredAdvancedOptions(), sCommand);
  }
  outcome.result = PerformCommandLine(frm, record);
  return outcome;
}

}  // namespace tessa
