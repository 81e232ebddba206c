#include "contexthelper/qt/message_box_prompts.h"

#include <QApplication>
#include <QMessageBox>

namespace tessa::ferrowick {

int MessageBoxPrompts::MsgBox(const std::string& prompt, int style, const std::string& title) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(QString::fromStdString(title));
  box.setText(QString::fromStdString(prompt));
  switch (style & 0x70) {
    case vbCritical:
      box.setIcon(QMessageBox::Critical);
      break;
    case vbQuestion:
      box.setIcon(QMessageBox::Question);
      break;
    case vbExclamation:
      box.setIcon(QMessageBox::Warning);
      break;
    case vbInformation:
      box.setIcon(QMessageBox::Information);
      break;
    default:
      break;
  }
  switch (style & 0x7) {
    case vbYesNoCancel:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
      box.setEscapeButton(QMessageBox::Cancel);
      break;
    case vbYesNo:
      box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
      box.setEscapeButton(QMessageBox::No);
      break;
    case vbOKCancel:
      box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
      break;
    default:
      box.setStandardButtons(QMessageBox::Ok);
      break;
  }
  switch (box.exec()) {
    case QMessageBox::Yes:
      return vbYes;
    case QMessageBox::No:
      return vbNo;
    case QMessageBox::Cancel:
      return vbCancel;
    default:
      return vbOK;
  }
}

void MessageBoxPrompts::DoEvents() { QApplication::processEvents(); }

}  // namespace tessa::ferrowick
