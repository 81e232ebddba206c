// The main form's section [frmMain] of the settings file (with the
// type-mismatch notice's never-show-again key and the scheduler's persisted
// flag): the values it holds besides the engine form's run options and
// editor task kind, and reading and writing the whole section. Nothing is
// written in command-line mode.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "engine/form_options.h"

namespace tessa {

class MainForm;

// The to-do and log columns whose widths (twips) the settings keep.
inline constexpr std::array<int, 5> kToDoWidthColumns{2, 3, 6, 9, 10};
inline constexpr std::array<int, 5> kLogWidthColumns{2, 3, 7, 9, 10};

struct MainFormSettings {
  bool bWarnedAboutChangingOptionsFromShellExtender = false;
  bool bSchedulePersisted = false;  // [frmScheduler] chkPersistRunning not 0
  // Stored states of the editor panel's controls.
  int cbSpecialProcessesIndex = 0;
  int cbCommandLineWindowStateIndex = 1;      // "Normal"
  int cbCommandLineThreadPriorityIndex = 1;   // "Normal"
  std::string txtCommandLineWaitTimeInSeconds = "-1";
  int cbFileTypeTargetIndex = 0;
  int cbFileTypeOriginalIndex = 0;
  int cbDoSubfolders = 0;
  // Column widths in twips, in the order of kToDoWidthColumns / kLogWidthColumns.
  std::array<int, 5> toDoWidths{450, 645, 705, 660, 870};
  std::array<int, 5> logWidths{450, 645, 3875, 585, 750};
};

// Reads [frmMain] into frm's run options and editor task kind
// (ReadMainFormOptions) and into s; bWindow reads the keys kept only for
// the window (the notice flag, column widths). A missing key or
// a stored number that is not one gives the default.
void ReadMainFormSettings(MainForm& frm, MainFormSettings& s, bool bWindow);

// Writes [frmMain] and [frmTypeMatchNotification] from frm and s; writes
// nothing in command-line mode. Never writes [frmScheduler].
void SaveMainFormSettings(const MainForm& frm, const MainFormSettings& s);

}  // namespace tessa
