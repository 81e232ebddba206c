// The user interface of a run without a main window: real message boxes when
// a display is there (the Qt application is made on the first box), lines on
// stderr when not. Status panels and yields do nothing.
#pragma once

#include "platform/user_interface.h"

namespace tessa {

// True when a graphical display can be reached: a Wayland socket, or an X
// display whose local socket exists (a remote X display is trusted).
bool bDisplayAvailable();

class MessageBoxUserInterface : public HeadlessUserInterface {
 public:
  // argc and argv must outlive the object (the Qt application keeps them).
  MessageBoxUserInterface(int& argc, char** argv) : argc_(argc), argv_(argv) {}

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  bool CanShowWindows() const override;

 private:
  int& argc_;
  char** argv_;
};

}  // namespace tessa
