#include "mainwindow/qt/window_user_interface.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLabel>
#include <QMainWindow>

#include "common/qt/message_box.h"
#include "mainwindow/qt/status_panels.h"

namespace tessa {

int WindowUserInterface::MsgBox(const std::string& prompt, int style, const std::string& title) {
  return ShowMessageBox(frame_.isVisible() ? &frame_ : nullptr, prompt, style, title);
}

void WindowUserInterface::SetStatusPanel(int panel, const std::string& text) {
  if (StatusPanels* panels = StatusPanels::Of(frame_)) panels->SetText(panel, QString::fromStdString(text));
}

void WindowUserInterface::SetStatusPanelEnabled(int panel, bool enabled) {
  if (StatusPanels* panels = StatusPanels::Of(frame_))
    if (QLabel* label = panels->Panel(panel)) label->setEnabled(enabled);
}

void WindowUserInterface::DoEvents() {
  if (beforeYield) beforeYield();
  QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void WindowUserInterface::BeginBusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void WindowUserInterface::EndBusyPointer() { QApplication::restoreOverrideCursor(); }

}  // namespace tessa
