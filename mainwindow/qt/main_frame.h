// The frame (frmMainMDI): the top-level window around the main form, with
// the menus, toolbar and status bar, its placement kept in [frmMainMDI], and
// the closing order of the program.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>

#include "mainwindow/frame_settings.h"

namespace tessa {

class MainForm;
class MainFormWidget;
class WindowUserInterface;

class MainFrame : public QMainWindow {
  Q_OBJECT
 public:
  explicit MainFrame(MainForm& frm);
  ~MainFrame() override;

  // MDIForm_Load: reads the frame's settings, translates, loads the main
  // form (bWindow false: hidden for a command-line or automation run). A
  // window installs its user interface (boxes, status panels, yields) until
  // the frame goes.
  void Load(bool bWindow);
  MainFormWidget& MainFormW() { return *form_; }
  // The user interface that Load installs (before Load; a plain
  // WindowUserInterface when none is given).
  void UseUserInterface(std::unique_ptr<WindowUserInterface> ui);

  // The stored window state and placement; a placement off the screens
  // takes the default top (and the default left when that is not enough).
  void ApplyStoredPlacement();
  // The frame's own caption; the job's name follows it.
  void SetCaption(const std::string& caption);
  void SetJobName(const std::string& name);

  // The settings as they would be written now.
  FrameSettings CurrentSettings() const;

  // True once the program's closing order has run.
  bool Unloaded() const { return unloaded_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void UpdateTitle();

  MainForm& frm_;
  MainFormWidget* form_ = nullptr;
  FrameSettings settings_;
  std::string caption_ = "Tessalumen";
  std::string jobName_;
  std::unique_ptr<WindowUserInterface> ui_;
  bool unloaded_ = false;
  bool closePending_ = false;
};

}  // namespace tessa
