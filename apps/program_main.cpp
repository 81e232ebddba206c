// The main function of tessaprint's core. Start-up decides the road: a
// command line runs here without any display and ends with its exit code; a
// start by the session bus serves the automation class; the window roads
// open the main window. Only those last two, and message boxes on a
// display, load the window module and its Qt libraries.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "apps/display_available.h"
#include "apps/on_demand_user_interface.h"
#include "apps/window_module.h"
#include "engine/main_form.h"
#include "engine/program/command_line_runner.h"
#include "engine/program/program_startup.h"
#include "platform/heap_reuse.h"

namespace {

// The window roads: the main window on the form start-up prepared.
int OpenMainWindow(int& argc, char** argv, tessa::MainForm& frmMain, const tessa::StartupOutcome& outcome) {
  if (!tessa::bDisplayAvailable() && !std::getenv("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "tessaprint: no display to show the main window on\n");
    return 1;
  }
  const tessa::WindowModule* module = tessa::LoadWindowModule();
  return module ? module->OpenMainWindow(argc, argv, frmMain, outcome) : 1;
}

int Run(int& argc, char** argv) {
  tessa::OnDemandUserInterface ui(argc, argv);
  tessa::SetUserInterface(&ui);
  // A first window start and the window's language menu ask with the
  // chooser.
  tessa::OnDemandLanguageChooser chooser(ui);
  tessa::SetLanguageChooser(&chooser);
  struct ChooserGoes {
    ~ChooserGoes() { tessa::SetLanguageChooser(nullptr); }
  } chooserGoes;
  tessa::MainForm frmMain;
  const std::vector<std::string> args(argv + 1, argv + argc);
  const tessa::StartupOutcome outcome = tessa::Main(frmMain, args);
  switch (outcome.road) {
    case tessa::StartupRoad::kEnd:
      return outcome.exitCode;
    case tessa::StartupRoad::kMainWindow:
    case tessa::StartupRoad::kShellExtenderOptions:
      return OpenMainWindow(argc, argv, frmMain, outcome);
    case tessa::StartupRoad::kServeAutomation: {
      // Automation never shows boxes; its outcome goes back to the caller.
      tessa::SetUserInterface(nullptr);
      const tessa::WindowModule* module = tessa::LoadWindowModule();
      return module ? module->ServeAutomation(argc, argv, frmMain) : 1;
    }
  }
  return tessa::kExitBadCommandLine;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int tessa_program_main(int argc, char** argv) {
  tessa::KeepLargeBlocksForReuse();
  try {
    const int code = Run(argc, argv);
    tessa::SetUserInterface(nullptr);
    return code;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tessaprint: %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "tessaprint: unexpected failure\n");
  }
  return 1;
}
