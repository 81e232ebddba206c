#include "mainwindow/qt/window_start.h"

#include <QApplication>
#include <QGuiApplication>

#include "common/program_modes.h"
#include "common/translator.h"
#include "engine/main_form.h"
#include "engine/program/program_version.h"
#include "mainwindow/qt/dialog_launchers.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/main_frame.h"

namespace tessa {

std::unique_ptr<MainFrame> ShowMainWindow(MainForm& frm) {
  // Whatever start-up parsed, the window's own run is not a command-line run.
  bCommandLineMode = false;
  const std::string version = "V" + std::to_string(kProgramVersionMajor) + "." +
                              std::to_string(kProgramVersionMinor) + std::to_string(kProgramVersionRevision);
  std::unique_ptr<QWidget> splash(ShowPleaseWaitSplash(Translate("Tessalumen!"), version, "Brindlecove, Inc."));
  QCoreApplication::processEvents();
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
  if (!s.bWarnedAboutChangingOptionsFromShellExtender) {
    QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    bool clicked = false;
    ShowPromptWithDisableOption(&frame, Translate("Change Options"),
                                Translate("Please change any options you want here. After closing the program, all "
                                          "changes you've made will be used within Windows Explorer."),
                                clicked);
    s.bWarnedAboutChangingOptionsFromShellExtender = clicked;
    QGuiApplication::restoreOverrideCursor();
  }
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
