// The panels of the main status bar that the engine writes to, by the
// number the window's status bar gives them (counted from 1).
#pragma once

namespace tessa {

enum StatusPanel : int {
  kPanelTaskNumber = 3,   // the task being run; "-" after the run
  kPanelRunState = 6,     // working, percent done, complete or paused
  kPanelCurrentFile = 8,  // the file being converted, loading progress or the last error
  kPanelElapsed = 11,     // seconds since the run began, "##0.0"
};

}  // namespace tessa
