// The message boxes of a run without a main window, on the display the
// program found: the Qt application is made on the first box. Status panels
// and yields do nothing.
#pragma once

#include <memory>

#include "platform/user_interface.h"

class QApplication;

namespace tessa {

class MessageBoxUserInterface : public HeadlessUserInterface {
 public:
  // argc and argv must outlive the object (the Qt application keeps them).
  MessageBoxUserInterface(int& argc, char** argv);
  // Ends the Qt application of the boxes, if one was made: it must go
  // before the program's static objects do.
  ~MessageBoxUserInterface() override;

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  bool CanShowWindows() const override { return true; }

  // Makes the Qt application when there is none; true when a graphical
  // application exists afterwards.
  bool EnsureApplication();

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<QApplication> app_;
};

}  // namespace tessa
