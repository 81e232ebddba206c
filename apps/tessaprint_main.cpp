// tessaprint: the main program. Start-up decides the road: a command line
// runs here without any display and ends with its exit code; a start by the
// session bus serves the automation class; the window roads open the main
// window.
#include <QApplication>
#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "apps/application_icon.h"
#include "apps/automation_bus.h"
#include "apps/message_box_user_interface.h"
#include "common/qt/language_dialog.h"
#include "engine/main_form.h"
#include "engine/program/command_line_runner.h"
#include "engine/program/program_startup.h"
#include "mainwindow/qt/window_start.h"
#include "platform/heap_reuse.h"

namespace {

// How long an automation start waits for its first instance.
constexpr std::chrono::minutes kFirstInstanceLimit{1};

// The window roads: the main window on the form start-up prepared. The
// boxes' user interface may have made the application already.
int OpenMainWindow(int& argc, char** argv, tessa::MainForm& frmMain, const tessa::StartupOutcome& outcome) {
  if (!qApp && !tessa::bDisplayAvailable() && !std::getenv("QT_QPA_PLATFORM")) {
    std::fprintf(stderr, "tessaprint: no display to show the main window on\n");
    return 1;
  }
  std::unique_ptr<QApplication> app;
  if (!qApp) app = std::make_unique<QApplication>(argc, argv);
  tessa::SetApplicationIcon();
  return tessa::RunMainWindow(frmMain, outcome);
}

int Run(int& argc, char** argv) {
  tessa::MessageBoxUserInterface ui(argc, argv);
  tessa::SetUserInterface(&ui);
  // A first window start and the window's language menu ask with the
  // chooser; it needs the Qt application, made only when a display is there.
  tessa::LanguageDialogChooser chooser([&ui] { return ui.EnsureApplication(); });
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
      QCoreApplication app(argc, argv);
      return tessa::ServeAutomation(frmMain, kFirstInstanceLimit);
    }
  }
  return tessa::kExitBadCommandLine;
}

}  // namespace

int main(int argc, char** argv) {
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
