// Which job commands the main form offers at a given moment: the toolbar
// buttons are decided from the job's state, the menu items copy their button
// and the editor panel's buttons copy their menu item; the task-moving menu
// items are shown or hidden by the selected row.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tessa {

// What the decision reads.
struct CommandStateInputs {
  bool bScheduleArmed = false;     // the scheduler's timer is on
  bool bRunning = false;
  bool bGridUpdateByCode = false;  // code is filling a grid or list
  bool bCurrentActionItemDirty = false;
  int32_t lResumeFileIndex = 0;   // not 0 while a paused task has files left
  int rows = 2;                    // to-do grid Rows (headings and placeholder included)
  int row = 1;                     // to-do grid Row
  std::string currentNumberCell;   // cell (Row, 2)
  std::string firstPassCell;       // cell (1, 10)
  int logRows = 2;                 // log grid Rows
  int tab = 1;                     // selected tab: 1 to-do list, 2 log
};

// Enabled state by name (toolbar keys, drop-down keys, menu items, panel
// buttons) and visible state of the move items by name.
struct CommandState {
  std::map<std::string, bool> enabled;
  std::map<std::string, bool> visible;
};

// The move items whose visible state the decision sets.
inline constexpr const char* kMoveItems[] = {"mnuMoveConversionTask", "mnuMoveUp",        "mnuMoveFirst",
                                             "mnuMoveDown",           "mnuMoveLast",      "mnuPopupMoveUp",
                                             "mnuPopupMoveFirst",     "mnuPopupMoveDown", "mnuPopupMoveLast"};

// Fills state.enabled for every command and updates state.visible of the
// move items; a move item the rules leave unchanged keeps the value it has
// in state.visible (shown when it has none), and while busy or loading all
// of them keep their values.
void DecideCommandState(const CommandStateInputs& in, CommandState& state);

}  // namespace tessa
