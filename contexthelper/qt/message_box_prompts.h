// The helper's questions and failure notices as Qt message boxes.
#pragma once

#include "platform/user_interface.h"

namespace tessa::ferrowick {

class MessageBoxPrompts : public UserInterface {
 public:
  // A modal box with the buttons and icon of style; Esc gives Cancel, or No
  // when there is no Cancel button.
  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetStatusPanel(int, const std::string&) override {}
  void DoEvents() override;
  bool CanShowWindows() const override { return true; }
};

}  // namespace tessa::ferrowick
