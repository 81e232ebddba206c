// The window module's entry: each road hands over to the Qt side here.
#include "apps/window_module.h"

#include <QApplication>
#include <QCoreApplication>
#include <chrono>
#include <memory>

#include "apps/application_icon.h"
#include "apps/automation_bus.h"
#include "apps/message_box_user_interface.h"
#include "common/qt/language_dialog.h"
#include "mainwindow/qt/window_start.h"

namespace tessa {

namespace {

// How long an automation start waits for its first instance.
constexpr std::chrono::minutes kFirstInstanceLimit{1};

std::unique_ptr<UserInterface> NewBoxes(int& argc, char** argv) {
  return std::make_unique<MessageBoxUserInterface>(argc, argv);
}

void ChooseLanguage(UserInterface& boxes, const std::vector<std::string>& languages, const std::string& current,
                    std::string& language, std::string& fontName) {
  auto& qtBoxes = static_cast<MessageBoxUserInterface&>(boxes);
  LanguageDialogChooser chooser([&qtBoxes] { return qtBoxes.EnsureApplication(); });
  chooser.Choose(languages, current, language, fontName);
}

// The boxes may have made the application already.
int OpenMainWindow(int& argc, char** argv, MainForm& frm, const StartupOutcome& outcome) {
  std::unique_ptr<QApplication> app;
  if (!qApp) app = std::make_unique<QApplication>(argc, argv);
  SetApplicationIcon();
  return RunMainWindow(frm, outcome);
}

int ServeAutomationOnBus(int& argc, char** argv, MainForm& frm) {
  QCoreApplication app(argc, argv);
  return ServeAutomation(frm, kFirstInstanceLimit);
}

constexpr WindowModule kModule{NewBoxes, ChooseLanguage, OpenMainWindow, ServeAutomationOnBus};

}  // namespace

}  // namespace tessa

extern "C" __attribute__((visibility("default"))) const tessa::WindowModule* tessa_window_module() {
  return &tessa::kModule;
}
