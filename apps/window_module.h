// The window side of tessaprint: the main window, message boxes, the
// language chooser and the automation service on the session bus, with the
// Qt libraries they need. It is a module of its own, loaded only when one of
// them is wanted, so that a command-line run loads no window library.
#pragma once

#include <memory>
#include <string>
#include <vector>

namespace tessa {

class MainForm;
class UserInterface;
struct StartupOutcome;

// What the module offers. argc and argv are the program's; they must
// outlive whatever the module makes from them.
struct WindowModule {
  // Message boxes on the display; the Qt application is made on the first.
  std::unique_ptr<UserInterface> (*NewBoxes)(int& argc, char** argv);
  // The language chooser dialog, shown over boxes (made by NewBoxes).
  void (*ChooseLanguage)(UserInterface& boxes, const std::vector<std::string>& languages,
                         const std::string& current, std::string& language, std::string& fontName);
  // Opens the main window for outcome's road on frm and runs it until it
  // closes; returns the exit code.
  int (*OpenMainWindow)(int& argc, char** argv, MainForm& frm, const StartupOutcome& outcome);
  // Serves the automation class on the session bus until the program is
  // done; returns the exit code.
  int (*ServeAutomation)(int& argc, char** argv, MainForm& frm);
};

// The module's file (found through the program's library path) and the C
// name of the function that returns its WindowModule.
inline constexpr const char* kWindowModuleFile = "libtessaprint_window.so";
inline constexpr const char* kWindowModuleEntry = "tessa_window_module";

// The module, loaded on the first call and kept for the process; nullptr
// (with the loader's reason on stderr, once) when it cannot be loaded.
const WindowModule* LoadWindowModule();

}  // namespace tessa
