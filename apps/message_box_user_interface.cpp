#include "apps/message_box_user_interface.h"

#include <QApplication>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "apps/application_icon.h"
#include "common/qt/message_box.h"
#include "common/qt/qt_translation.h"
#include "common/translator.h"

namespace tessa {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

}  // namespace

bool bDisplayAvailable() {
  std::error_code ec;
  const std::string wayland = Env("WAYLAND_DISPLAY");
  if (!wayland.empty()) {
    const std::filesystem::path socket =
        wayland.front() == '/' ? std::filesystem::path(wayland) : std::filesystem::path(Env("XDG_RUNTIME_DIR")) / wayland;
    if (std::filesystem::exists(socket, ec)) return true;
  }
  const std::string display = Env("DISPLAY");
  if (display.empty()) return false;
  if (display.front() != ':') return true;  // a remote display
  const std::string number = display.substr(1, display.find('.') - 1);
  return std::filesystem::exists("/tmp/.X11-unix/X" + number, ec);
}

MessageBoxUserInterface::MessageBoxUserInterface(int& argc, char** argv) : argc_(argc), argv_(argv) {}

MessageBoxUserInterface::~MessageBoxUserInterface() = default;

bool MessageBoxUserInterface::CanShowWindows() const { return bDisplayAvailable(); }

bool MessageBoxUserInterface::EnsureApplication() {
  if (!qApp && bDisplayAvailable()) {
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
