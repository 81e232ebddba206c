// The user interface of a run without a main window: real message boxes when
// a display is there (the Qt application is made on the first box), lines on
// stderr when not. Status panels and yields do nothing.
#pragma once

#include <memory>

#include "platform/user_interface.h"

class QApplication;

namespace tessa {

// True when a graphical display can be reached: a Wayland socket, or an X
// display whose local socket exists (a remote X display is trusted).
bool bDisplayAvailable();

class MessageBoxUserInterface : public HeadlessUserInterface {
 public:
  // argc and argv must outlive the object (the Qt application keeps them).
  MessageBoxUserInterface(int& argc, char** argv);
  // Ends the Qt application of the boxes, if one was made: it must go
  // before the program's static objects do.
  ~MessageBoxUserInterface() override;

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  bool CanShowWindows() const override;

  // Makes the Qt application when there is none and a display can be
  // reached; true when a graphical application exists afterwards.
  bool EnsureApplication();

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> app_;
};

}  // namespace tessa
