#include "mainwindow/qt/window_start.h"

#include <QApplication>

#include "common/program_modes.h"
#include "engine/main_form.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/main_frame.h"
#include "mainwindow/qt/please_wait_splash.h"
#include "mainwindow/qt/prompt_dialog.h"

namespace tessa {

std::unique_ptr<MainFrame> ShowMainWindow(MainForm& frm) {
  // Whatever start-up parsed, the window's own run is not a command-line run.
  bCommandLineMode = false;
  std::unique_ptr<frmPleaseWait> splash = ShowStartupSplash();
  auto frame = std::make_unique<MainFrame>(frm);
  frame->Load(true);
  frame->ApplyStoredPlacement();
  if (!frame->isVisible()) frame->show();
  splash.reset();
  frame->MainFormW().StartPersistedSchedule();
  return frame;
}

void ShowShellExtenderOptions(MainFrame& frame, const clsConversionOptions& record) {
  MainFormWidget& form = frame.MainFormW();
  MainFormSettings& s = form.Settings();
  if (!s.bWarnedAboutChangingOptionsFromShellExtender)
    s.bWarnedAboutChangingOptionsFromShellExtender = ShowChangeOptionsNotice(&frame);
  if (record.lSpecialProcess != 0) {
    form.ShowActionInPanel(true, record.lSpecialProcess, "");
    return;
  }
  form.ShowActionInPanel(false, 0, record.sOriginalFile);
  form.cmdPDFtoRTFAdvancedOptions_Click();
}

int RunMainWindow(MainForm& frm, const StartupOutcome& outcome) {
  std::unique_ptr<MainFrame> frame = ShowMainWindow(frm);
  if (outcome.road == StartupRoad::kShellExtenderOptions) ShowShellExtenderOptions(*frame, outcome.record);
  QApplication::setQuitOnLastWindowClosed(true);
  return frame->isVisible() ? QApplication::exec() : 0;
}

}  // namespace tessa
