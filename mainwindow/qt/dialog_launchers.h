// The scheduler window as the main form holds it (the other dialogs are
// opened where their commands are handled).
#pragma once

#include <memory>

namespace tessa {

class MainFormWidget;
class SchedulerWindow;

// The scheduler window of the main form.
std::unique_ptr<SchedulerWindow> CreateSchedulerWindow(MainFormWidget& form);

}  // namespace tessa
