// The window roads of the program's start: the main window shown with its
// splash, the main window opened on the file manager's PDF options, and the
// event loop that runs until the window closes.
#pragma once

#include <memory>

#include "engine/program/program_startup.h"

namespace tessa {

class MainForm;
class MainFrame;

// Shows the splash, loads the frame and the main form on frm (keeping a job
// that start-up opened), places the frame as stored, shows it and arms a
// schedule that was left running. Installs the window's user interface.
std::unique_ptr<MainFrame> ShowMainWindow(MainForm& frm);

// After the one-time notice, sets the editor panel to the record's special
// process, or to image conversion on its input with the advanced options
// dialog open.
void ShowShellExtenderOptions(MainFrame& frame, const clsConversionOptions& record);

// Opens the window for outcome's road (kMainWindow or kShellExtenderOptions)
// and runs the event loop until the window closes; returns its exit code.
// A QApplication must exist.
int RunMainWindow(MainForm& frm, const StartupOutcome& outcome);

}  // namespace tessa
