#include "apps/on_demand_user_interface.h"

#include "apps/display_available.h"
#include "apps/window_module.h"

namespace tessa {

OnDemandUserInterface::OnDemandUserInterface(int& argc, char** argv) : argc_(argc), argv_(argv) {}

OnDemandUserInterface::~OnDemandUserInterface() = default;

UserInterface* OnDemandUserInterface::Boxes() {
  if (!boxes_ && bDisplayAvailable())
    if (const WindowModule* module = LoadWindowModule()) boxes_ = module->NewBoxes(argc_, argv_);
  return boxes_.get();
}

int OnDemandUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  if (UserInterface* boxes = Boxes()) return boxes->MsgBox(prompt, style, title);
  return HeadlessUserInterface::MsgBox(prompt, style, title);
}

bool OnDemandUserInterface::CanShowWindows() const { return bDisplayAvailable(); }

void OnDemandLanguageChooser::Choose(const std::vector<std::string>& languages, const std::string& current,
                                     std::string& language, std::string& fontName) {
  language.clear();
  fontName.clear();
  if (UserInterface* boxes = ui_.Boxes()) LoadWindowModule()->ChooseLanguage(*boxes, languages, current, language, fontName);
}

}  // namespace tessa
