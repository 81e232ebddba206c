// The main form's one scheduler window, as the main form uses it: set up from
// the settings file, started again when a schedule was left running, asked
// whether a schedule is armed, stopped by Pause and shown from the menu.
#pragma once

#include <memory>
#include <string>

namespace tessa {

class MainFormWidget;

class SchedulerWindow {
 public:
  virtual ~SchedulerWindow() = default;
  virtual void SetUpScheduler(const std::string& /*settingsPath*/) {}
  // Arms the schedule (the dialog's start button).
  virtual void StartTimer() {}
  // True while a schedule is armed.
  virtual bool TimerEnabled() const { return false; }
  // Switches the timer off and resets the dialog (a pause).
  virtual void StopAndReset() {}
  // Shows the scheduler dialog modally.
  virtual void ShowModal() = 0;
};

}  // namespace tessa
