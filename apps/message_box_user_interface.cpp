#include "apps/message_box_user_interface.h"

#include <QApplication>
#include <memory>
#include <string>

#include "apps/application_icon.h"
#include "common/qt/message_box.h"
#include "common/qt/qt_translation.h"
#include "common/translator.h"

namespace tessa {

MessageBoxUserInterface::MessageBoxUserInterface(int& argc, char** argv) : argc_(argc), argv_(argv) {}

MessageBoxUserInterface::~MessageBoxUserInterface() = default;

bool MessageBoxUserInterface::EnsureApplication() {
  if (!qApp) {
    app_ = std::make_unique<QApplication>(argc_, argv_);
    SetApplicationIcon();
  }
  return qobject_cast<QApplication*>(qApp) != nullptr;
}

int MessageBoxUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  if (!EnsureApplication()) return HeadlessUserInterface::MsgBox(prompt, style, title);
  // The box's own buttons in the language of its texts, which an automation
  // call may have changed since the last box.
  UseQtTranslation(sLanguage);
  return ShowMessageBox(nullptr, prompt, style, title);
}

}  // namespace tessa
