// The user interface of the windowed program: message boxes over the frame,
// the frame's status panels, and yields to the event loop during long work.
#pragma once

#include <functional>

#include "platform/user_interface.h"

class QMainWindow;

namespace tessa {

class WindowUserInterface : public UserInterface {
 public:
  explicit WindowUserInterface(QMainWindow& frame) : frame_(frame) {}

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetStatusPanel(int panel, const std::string& text) override;
  void SetStatusPanelEnabled(int panel, bool enabled) override;
  void DoEvents() override;
  void BeginBusyPointer() override;
  void EndBusyPointer() override;
  bool CanShowWindows() const override { return true; }

  // Runs before each yield: the frame brings its commands in line with the
  // work going on (a job that loads offers only Pause).
  std::function<void()> beforeYield;

 protected:
  QMainWindow& frame_;
};

}  // namespace tessa
