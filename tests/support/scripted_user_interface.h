// A user interface for tests: answers message boxes from a script, records
// every box and status panel.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <vector>

#include "platform/user_interface.h"

namespace tessa::test {

class ScriptedUserInterface : public UserInterface {
 public:
  struct Box {
    std::string prompt;
    int style;
    std::string title;
  };

  // Installs itself as the current user interface; restores the headless one
  // when it goes.
  ScriptedUserInterface();
  ~ScriptedUserInterface() override;

  // The next boxes are answered in this order; once the script runs out,
  // boxes get the cautious headless answer.
  void Answer(int result) { answers_.push_back(result); }

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetStatusPanel(int panel, const std::string& text) override { panels[panel] = text; }
  void SetStatusPanelEnabled(int panel, bool enabled) override { panelEnabled[panel] = enabled; }
  void DoEvents() override { ++yields; }
  bool CanShowWindows() const override { return true; }

  std::vector<Box> boxes;
  std::map<int, std::string> panels;
  std::map<int, bool> panelEnabled;
  int yields = 0;

 private:
  std::deque<int> answers_;
};

}  // namespace tessa::test
