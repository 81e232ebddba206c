#include "engine/program_startup.h"

#include <algorithm>

#include "common/text_helpers.h"
#include "engine/command_line_runner.h"
#include "engine/main_form.h"
#include "engine/startup_deps.h"
#include "platform/program_data_folder.h"

namespace tessa {

std::string sDataFolder;

namespace {

// The application title under which the per-user registry values live.
constexpr const char* kRegistryApp = "Tessaprint";
constexpr const char* kRegistrySection = "Settings";
constexpr const char* kDataFolderMacro = "%appdata%\\Brindlecove, Inc\\Tessalumen\\";

bool bStartedByBus(const std::vector<std::string>& args) {
  return std::find(args.begin(), args.end(), kEmbeddingArgument) != args.end();
}

std::string WithTrailingSlash(std::string folder) {
  folder = ToForwardSlashes(folder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void InstallDemoFiles(const std::string& programFolder, const std::string& dataFolder) {
  if (ToUpperAscii(deps::GetSetting(kRegistryApp, kRegistrySection, "bDInstalled", "FALSE")) != "FALSE") return;
  // Noted first: a copy that fails is not tried again on a later start.
  deps::SaveSetting(kRegistryApp, kRegistrySection, "bDInstalled", "TRUE");
  const std::string to = WithTrailingSlash(dataFolder);
  if (to.empty() || deps::bFolderExists(to + "Demo/")) return;
  const std::string from = WithTrailingSlash(programFolder);
  for (const char* folder : {"Demo Data", "Demo Conversion Jobs", "Demo Batch Files", "Languages"})
    deps::CopyFolderFSO(from + folder, to + folder);
}

StartupOutcome Main(MainForm& frm, const std::vector<std::string>& args) {
  const std::string commandLine = deps::CommandLineFromArguments(args);
  // A command line or a bus start runs without a window: no language chooser
  // and no settings written.
  frm.bCommandLineMode = !TrimBlanks(commandLine).empty();

  deps::sIniFile = deps::GetIniFilePath(18);
  sDataFolder = WithTrailingSlash(deps::ExpandPathMacros(kDataFolderMacro));
  InstallDemoFiles(ProgramDataFolder(), sDataFolder);
  deps::InitializeTranslator();

  StartupOutcome outcome;
  clsConversionOptions& record = outcome.record;
  if (deps::ParseCommandLine(commandLine, record, frm)) {
    frm.bRunning = true;
    frm.lTotalTimeStart = deps::TickCount();
    if ((!record.sCLBatchJobFile.empty() && record.bOpenButDoNotRun) || record.bShellExtenderOptionsChange) {
      frm.bRunning = false;
      if (record.bOpenButDoNotRun) deps::ConversionJobOpen(frm, record.sCLBatchJobFile);
      outcome.road = record.bShellExtenderOptionsChange ? StartupRoad::kShellExtenderOptions
                                                        : StartupRoad::kMainWindow;
      return outcome;
    }
    // Whatever the options said about windows, this run has none.
    frm.bCommandLineMode = true;
    const int32_t result = PerformCommandLine(frm, record);
    frm.bCommandLineMode = false;
    outcome.exitCode = result == 0 ? kExitSuccess : kExitRunFailed;
    return outcome;
  }

  if (commandLine.find("/?") != std::string::npos) return outcome;  // the help page was opened
  if (TrimBlanks(commandLine).empty()) {
    outcome.road = StartupRoad::kMainWindow;
    return outcome;
  }
  deps::WriteToLogFile(deps::Translate("Missing required or invalid command line argument(s)"), record.sLogFile,
                       record.bVerbose);
  if (bStartedByBus(args)) {
    frm.bCommandLineMode = false;  // each automation call sets it for its own run
    outcome.road = StartupRoad::kServeAutomation;
    return outcome;
  }
  outcome.exitCode = kExitBadCommandLine;
  return outcome;
}

}  // namespace tessa
