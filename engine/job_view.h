// What the job commands ask of the window: the editor panel's task, file
// pickers, captions, the opened-jobs list and the scheduler. The defaults are
// what a run without a window needs: no editor, no pickers, nothing shown.
#pragma once

#include <string>

#include "engine/task/conversion_options.h"

namespace tessa {

class JobView {
 public:
  virtual ~JobView() = default;

  // Fills co from the item editor panel; false when there is no panel.
  virtual bool CollectConversionItemFromGUI(clsConversionOptions& /*co*/) { return false; }
  // Writes the editor panel back into the current to-do row; false when the
  // update was refused or there is no panel.
  virtual bool ConversionJobUpdate() { return false; }
  // Shows the current to-do row in the editor panel (after a row change).
  virtual void EnterToDoCell() {}

  // Asks for a job file to open or to save (bSave); "" when cancelled or
  // when there is no window. initial is where the dialog starts ("" its
  // default).
  virtual std::string PickJobFile(bool /*bSave*/, const std::string& /*title*/,
                                  const std::string& /*initial*/) {
    return "";
  }

  // The main form's caption (the job file's name, "*" for a new job).
  virtual void SetFormCaption(const std::string& /*caption*/) {}
  // The MDI frame's caption (the scheduler's countdown).
  virtual void SetFrameCaption(const std::string& /*caption*/) {}
  // Puts path first in the recent job files and refills their menu.
  virtual void AddOpenedJobFile(const std::string& /*path*/) {}

  // Gives the to-do grid the focus and shows the to-do tab.
  virtual void FocusToDoGrid() {}
  virtual void SelectToDoTab() {}

  // Whether a toolbar button (by key: "keyAdd", "keyRemove", "keyPause")
  // is enabled. Without a window the engine decides from its own state.
  virtual bool IsToolbarButtonEnabled(const std::string& /*key*/, bool engineDefault) {
    return engineDefault;
  }

  // Switches the scheduler's timer off and resets its form (a pause).
  virtual void StopScheduler() {}
};

}  // namespace tessa
