#include "apps/message_box_user_interface.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace tessa {

namespace {

std::string Env(const char* name) {
  const char* v = std::getenv(name);
  return v ? v : "";
}

// Buttons of a box in the order they are offered, with their results.
struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton byDefault[3];
};

ButtonSet ButtonsFor(int style) {
  switch (style & 7) {
    case vbOKCancel: return {QMessageBox::Ok | QMessageBox::Cancel, {QMessageBox::Ok, QMessageBox::Cancel, QMessageBox::Cancel}};
    case vbAbortRetryIgnore:
      return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
              {QMessageBox::Abort, QMessageBox::Retry, QMessageBox::Ignore}};
    case vbYesNoCancel:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
              {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}};
    case vbYesNo: return {QMessageBox::Yes | QMessageBox::No, {QMessageBox::Yes, QMessageBox::No, QMessageBox::No}};
    case vbRetryCancel:
      return {QMessageBox::Retry | QMessageBox::Cancel, {QMessageBox::Retry, QMessageBox::Cancel, QMessageBox::Cancel}};
    default: return {QMessageBox::Ok, {QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok}};
  }
}

QMessageBox::Icon IconFor(int style) {
  switch (style & 0x70) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

int ResultOf(int button) {
  switch (button) {
    case QMessageBox::Ok: return vbOK;
    case QMessageBox::Cancel: return vbCancel;
    case QMessageBox::Abort: return vbAbort;
    case QMessageBox::Retry: return vbRetry;
    case QMessageBox::Ignore: return vbIgnore;
    case QMessageBox::Yes: return vbYes;
    case QMessageBox::No: return vbNo;
    default: return vbCancel;
  }
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
  if (!qApp && bDisplayAvailable()) app_ = std::make_unique<QApplication>(argc_, argv_);
  return qobject_cast<QApplication*>(qApp) != nullptr;
}

int MessageBoxUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  if (!EnsureApplication()) return HeadlessUserInterface::MsgBox(prompt, style, title);
  const ButtonSet set = ButtonsFor(style);
  QMessageBox box(IconFor(style), QString::fromStdString(title.empty() ? "Tessaprint" : title),
                  QString::fromStdString(prompt), set.buttons);
  const int defaultIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
  box.setDefaultButton(set.byDefault[defaultIndex]);
  return ResultOf(box.exec());
}

}  // namespace tessa
