// Program start-up: fixes the settings file and the per-user data folder,
// copies the demo folders on the first run, starts the translator, parses
// the program's command line and either runs it without a window or tells
// the caller which window or service to start.
#pragma once

#include <string>
#include <vector>

#include "engine/task/conversion_options.h"

namespace tessa {

class MainForm;

// What the program does once start-up is through.
enum class StartupRoad {
  kEnd,                   // nothing more: exit with exitCode
  kMainWindow,            // open the main window (on the job already opened, if any)
  kShellExtenderOptions,  // open the main window on the file manager's PDF options
  kServeAutomation,       // started by the session bus: serve the automation class
};

struct StartupOutcome {
  StartupRoad road = StartupRoad::kEnd;
  int exitCode = 0;              // for kEnd: 0 success, 1 run failed, 2 bad command line,
                                 // 128 + the signal that stopped the run
  clsConversionOptions record;   // the parsed command line
};

// The marker of a start by the session bus for automation: an argument that
// begins with it, in any case ("-Embedding" from the bus's service file).
inline constexpr const char* kEmbedMarker = "-Embed";

// Main: args are the program's arguments without its own name. A command
// line that parses runs here, on frm, without any window; frm first takes
// the run options stored in [frmMain], as it does for a start by the bus. Never shows the
// language chooser for a non-empty command line and writes nothing to the
// settings file while a command line runs.
StartupOutcome Main(MainForm& frm, const std::vector<std::string>& args);

// First-run copy of "Demo Data", "Demo Conversion Jobs", "Demo Batch Files"
// and "Languages" from programFolder into dataFolder, each without
// overwriting; done once per user (registry value bDInstalled), and a copy
// that fails is not tried again. Failures are ignored.
void InstallDemoFiles(const std::string& programFolder, const std::string& dataFolder);

}  // namespace tessa
