#include "common/qt/message_box.h"

#include <QMessageBox>
#include <QString>

#include "platform/user_interface.h"

namespace tessa {

namespace {

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

int ShowMessageBox(QWidget* parent, const std::string& prompt, int style, const std::string& title) {
  const ButtonSet set = ButtonsFor(style);
  QMessageBox box(IconFor(style), QString::fromStdString(title.empty() ? "Tessaprint" : title),
                  QString::fromStdString(prompt), set.buttons, parent);
  const int defaultIndex = (style & vbDefaultButton3) ? 2 : (style & vbDefaultButton2) ? 1 : 0;
  box.setDefaultButton(set.byDefault[defaultIndex]);
  return ResultOf(box.exec());
}

}  // namespace tessa
