#include "engine/program/program_startup.h"

#include <algorithm>
#include <cstdio>

#include "common/file_helpers.h"
#include "common/help_launcher.h"
#include "common/log_writer.h"
#include "common/path_macros.h"
#include "common/program_modes.h"
#include "common/settings_file.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/form_options.h"
#include "engine/program/command_line_usage.h"
#include "engine/task/command_line_parser.h"
#include "engine/program/command_line_runner.h"
#include "engine/main_form.h"
#include "platform/program_data_folder.h"
#include "platform/registry_store.h"
#include "platform/stop_signals.h"
#include "platform/tick_count.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// The application title under which the per-user registry values live.
constexpr const char* kRegistryApp = "Tessaprint";
constexpr const char* kRegistrySection = "Settings";
constexpr const char* kDataFolderMacro = "%appdata%\\Brindlecove, Inc\\Tessalumen\\";

bool bStartedByBus(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return bStartsWith(a, kEmbedMarker); });
}

bool bHasArgument(const std::vector<std::string>& args, const char* arg) {
  return std::find(args.begin(), args.end(), arg) != args.end();
}

bool bHasCommandLine(const std::vector<std::string>& args) {
  return std::any_of(args.begin(), args.end(), [](const std::string& a) { return !TrimBlanks(a).empty(); });
}

// While it lives, boxes become lines on stderr when asked for; then the
// previous user interface is back.
class HeadlessBoxesWhen {
 public:
  explicit HeadlessBoxesWhen(bool bHeadless) : previous_(CurrentUserInterface()) {
    if (bHeadless) SetUserInterface(nullptr);
  }
  ~HeadlessBoxesWhen() { SetUserInterface(&previous_); }
  HeadlessBoxesWhen(const HeadlessBoxesWhen&) = delete;
  HeadlessBoxesWhen& operator=(const HeadlessBoxesWhen&) = delete;

 private:
  UserInterface& previous_;
};

std::string WithTrailingSlash(std::string folder) {
  folder = ToForwardSlashes(folder);
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

void InstallDemoFiles(const std::string& programFolder, const std::string& dataFolder) {
  const std::string store = UserRegistryStore(sIniFile);
  if (ToUpperAscii(GetSetting(store, kRegistryApp, kRegistrySection, "bDInstalled", "FALSE")) != "FALSE") return;
  // Noted first: a copy that fails is not tried again on a later start.
  SaveSetting(store, kRegistryApp, kRegistrySection, "bDInstalled", "TRUE");
  const std::string to = WithTrailingSlash(dataFolder);
  if (to.empty() || bFolderExists(to + "Demo/")) return;
  const std::string from = WithTrailingSlash(programFolder);
  for (const char* folder : {"Demo Data", "Demo Conversion Jobs", "Demo Batch Files", "Languages"})
    CopyFolderFSO(from + folder, to + folder, false);
}

StartupOutcome Main(MainForm& frm, const std::vector<std::string>& args) {
  if (args.size() == 1 && bIsUsageArgument(args[0].c_str())) {
    std::fputs(kCommandLineUsage, stdout);
    return StartupOutcome{};
  }
  // A command line or a bus start runs without a window: no language chooser
  // and no settings written.
  bCommandLineMode = bHasCommandLine(args);

  sIniFile = GetIniFilePath(18);
  std::string dataFolder = kDataFolderMacro;
  sDataFolder = WithTrailingSlash(ExpandPathMacros(dataFolder));
  // A macro that could not be expanded (no home folder) leaves a relative
  // path: the demo files would land in a folder named "%appdata%" wherever
  // the program was started.
  if (sDataFolder.rfind('/', 0) == 0) InstallDemoFiles(ProgramDataFolder(), sDataFolder);
  {
    // The translator's warnings (a missing language file) must not wait for
    // a click in a script: on a command-line or bus start they go to stderr.
    HeadlessBoxesWhen headless(bCommandLineMode);
    InitializeTranslator();
  }
  InitializeHelpFile();

  StartupOutcome outcome;
  clsConversionOptions& record = outcome.record;
  if (ParseCommandLine(frm, args, record)) {
    // The form is loaded in every mode: a run without a window takes the
    // options stored by the window (nothing is written back).
    ReadMainFormOptions(frm);
    frm.bRunning = true;
    frm.lTotalTimeStart = GetTickCount();
    if ((!record.sCLBatchJobFile.empty() && record.bOpenButDoNotRun) || record.bShellExtenderOptionsChange) {
      frm.bRunning = false;
      if (record.bOpenButDoNotRun) frm.ConversionJobOpen(record.sCLBatchJobFile);
      outcome.road = record.bShellExtenderOptionsChange ? StartupRoad::kShellExtenderOptions
                                                        : StartupRoad::kMainWindow;
      return outcome;
    }
    // Whatever the options said about windows, this run has none.
    bCommandLineMode = true;
    InstallStopSignalHandlers();
    const int32_t result = PerformCommandLine(frm, record);
    bCommandLineMode = false;
    outcome.exitCode = result == 0 ? kExitSuccess : kExitRunFailed;
    if (const int sig = StopSignalReceived(); sig != 0) outcome.exitCode = 128 + sig;
    return outcome;
  }

  if (bHasArgument(args, "/?")) {
    // The help page was handed to the desktop's opener; without a browser
    // the address is all the user gets.
    std::printf("%s\n", CommandLineHelpAddress().c_str());
    return outcome;
  }
  if (!bHasCommandLine(args)) {
    outcome.road = StartupRoad::kMainWindow;
    return outcome;
  }
  WriteToLogFile(Translate("Missing required or invalid command line argument(s)"), record.sLogFile, record.bVerbose);
  if (bStartedByBus(args)) {
    ReadMainFormOptions(frm);  // the calls run on the form with its stored options
    bCommandLineMode = false;  // each automation call sets it for its own run
    outcome.road = StartupRoad::kServeAutomation;
    return outcome;
  }
  // Said on the terminal too: the reason, when validation gave one, and how
  // a command line goes.
  std::string reason;
  for (const std::string& line : SplitText(record.sErr, '\n')) {
    const std::string part = TrimBlanks(line.substr(0, line.find('\r')));
    if (!part.empty()) reason += (reason.empty() ? "" : " ") + part;
  }
  if (!reason.empty()) std::fprintf(stderr, "tessaprint: %s\n", LogSafeText(reason).c_str());
  std::fprintf(stderr, "tessaprint: %s\n%s", Translate("Missing required or invalid command line argument(s)").c_str(),
               kCommandLineUsage);
  outcome.exitCode = kExitBadCommandLine;
  return outcome;
}

}  // namespace tessa
