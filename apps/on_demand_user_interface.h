// The user interface and the language chooser of a start without the main
// window: without a display, boxes become lines on stderr; with one, the
// window module is loaded on the first box or choice and shows it.
#pragma once

#include <memory>

#include "common/translator.h"
#include "platform/user_interface.h"

namespace tessa {

class OnDemandUserInterface : public HeadlessUserInterface {
 public:
  // argc and argv must outlive the object (the module's Qt application
  // keeps them).
  OnDemandUserInterface(int& argc, char** argv);
  // Ends the module's boxes, and their Qt application, before the
  // program's static objects go.
  ~OnDemandUserInterface() override;

  int MsgBox(const std::string& prompt, int style, const std::string& title) override;
  bool CanShowWindows() const override;

  // The module's boxes, made on the first call; nullptr when there is no
  // display or the module cannot be loaded.
  UserInterface* Boxes();

 private:
  int& argc_;
  char** argv_;
  std::unique_ptr<UserInterface> boxes_;
};

// The language chooser dialog of the window module, over ui's boxes; with
// no display a choice counts as cancelled.
class OnDemandLanguageChooser : public LanguageChooser {
 public:
  explicit OnDemandLanguageChooser(OnDemandUserInterface& ui) : ui_(ui) {}
  void Choose(const std::vector<std::string>& languages, const std::string& current, std::string& language,
              std::string& fontName) override;

 private:
  OnDemandUserInterface& ui_;
};

}  // namespace tessa
