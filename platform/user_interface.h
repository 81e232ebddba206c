// How the headless core reaches the user: message boxes, numbered status-bar
// panels and a yield to the event loop. The window installs a Qt version; the
// command line and automation use the headless one.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Button sets and icons of a message box, combinable by addition.
enum MsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
};

// The button that closed a message box.
enum MsgBoxResult : int {
  vbOK = 1,
  vbCancel = 2,
  vbAbort = 3,
  vbRetry = 4,
  vbIgnore = 5,
  vbYes = 6,
  vbNo = 7,
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;

  // Shows prompt with the buttons and icon of style under title and returns
  // the button pressed.
  virtual int MsgBox(const std::string& prompt, int style, const std::string& title) = 0;

  // Writes text into panel (numbered from 1) of the main status bar.
  virtual void SetStatusPanel(int panel, const std::string& text) = 0;

  // Shows panel normally (true) or greyed out (false); the end-of-job
  // notice toggles it. Nothing happens where there is no status bar.
  virtual void SetStatusPanelEnabled(int /*panel*/, bool /*enabled*/) {}

  // Lets pending window events run during long work (Pause, repaint).
  virtual void DoEvents() = 0;

  // Shows the busy (hourglass) pointer over the program's windows until the
  // matching EndBusyPointer, which restores the pointer shown before; calls
  // nest. Nothing happens where there is no window.
  virtual void BeginBusyPointer() {}
  virtual void EndBusyPointer() {}

  // True when boxes and windows can really be shown to a person.
  virtual bool CanShowWindows() const = 0;
};

// No display: a box becomes a line on stderr and is answered with the
// cautious choice (OK, Cancel, No or Abort); panels and yields do nothing.
class HeadlessUserInterface : public UserInterface {
 public:
  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  void SetStatusPanel(int, const std::string&) override {}
  void SetStatusPanelEnabled(int, bool) override {}
  void DoEvents() override {}
  void BeginBusyPointer() override {}
  void EndBusyPointer() override {}
  bool CanShowWindows() const override { return false; }

  // The answer a headless box gives for the buttons of style.
  static int CautiousAnswer(int style);
};

// The program-wide user interface: the headless one until a window or a test
// installs another. SetUserInterface(nullptr) restores the headless one.
UserInterface& CurrentUserInterface();
void SetUserInterface(UserInterface* ui);

// The busy pointer of the current user interface for the object's lifetime.
class BusyPointer {
 public:
  BusyPointer() : ui_(CurrentUserInterface()) { ui_.BeginBusyPointer(); }
  ~BusyPointer() { ui_.EndBusyPointer(); }
  BusyPointer(const BusyPointer&) = delete;
  BusyPointer& operator=(const BusyPointer&) = delete;

 private:
  UserInterface& ui_;
};

}  // namespace tessa
