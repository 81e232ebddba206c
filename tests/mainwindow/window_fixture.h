// A main window on its own form under the offscreen platform, in a
// temporary home folder with its own settings file; message boxes are
// recorded and answered by script instead of waiting for a click.
#pragma once

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QTest>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "engine/main_form.h"
#include "mainwindow/qt/main_form_widget.h"
#include "mainwindow/qt/main_frame.h"
#include "mainwindow/qt/window_user_interface.h"
#include "platform/ini_file.h"
#include "support/modal_driver.h"
#include "support/temp_dir.h"

namespace tessa::test {

// The test program's one Qt application.
inline QApplication& App() { return QtApp(); }

// Boxes over the window, answered from a script (then cautiously).
class ScriptedWindowUserInterface : public WindowUserInterface {
 public:
  using WindowUserInterface::WindowUserInterface;
  int MsgBox(const std::string& prompt, int style, const std::string& /*title*/) override {
    boxes.push_back(prompt);
    if (answers.empty()) return HeadlessUserInterface::CautiousAnswer(style);
    const int a = answers.front();
    answers.pop_front();
    return a;
  }
  void DoEvents() override {
    WindowUserInterface::DoEvents();
    if (onYield) onYield();
  }
  // "[" for each busy pointer shown (the wait cursor, else "?"), "]" when it goes.
  void BeginBusyPointer() override {
    WindowUserInterface::BeginBusyPointer();
    pointer += QApplication::overrideCursor()->shape() == Qt::WaitCursor ? "[" : "?";
  }
  void EndBusyPointer() override { WindowUserInterface::EndBusyPointer(), pointer += "]"; }
  std::string pointer;
  std::function<void()> onYield;
  std::vector<std::string> boxes;
  std::deque<int> answers;
};

class WindowTest : public ::testing::Test {
 protected:
  WindowTest() : home_(dir_.path().string()) {
    App();
    bCommandLineMode = bAutomationMode = false;
    ForgetRememberedIniFile();  // start-up finds the settings file in this home
    std::filesystem::create_directories(dir_.path() / "settings");
    sIniFile = dir_.file("settings/Vemo_SearchHistory.INI");
    sDataFolder = dir_.file("data") + "/";
  }
  ~WindowTest() override {
    frame_.reset();
    SetUserInterface(nullptr);
    bCommandLineMode = bAutomationMode = false;
  }

  // Loads a new frame (shown when bShow) with scripted boxes.
  void Open(bool bShow = true) {
    frame_.reset();
    frame_ = std::make_unique<MainFrame>(frm_);
    auto ui = std::make_unique<ScriptedWindowUserInterface>(*frame_);
    ui_ = ui.get();
    frame_->UseUserInterface(std::move(ui));
    frame_->Load(!bCommandLineMode);
    if (bCommandLineMode) SetUserInterface(ui_);
    if (bShow) {
      frame_->ApplyStoredPlacement();
      frame_->show();
    }
  }
  MainFormWidget& Form() { return frame_->MainFormW(); }
  // The frame active and w focused: key clicks reach shortcuts as a user's do.
  void ActivateAndFocus(QWidget* w) {
    frame_->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame_.get()));
    w->setFocus();
  }
  QAction* Act(const char* name) { return Form().Action(name); }

  // A job file of one conversion task per input (PNG in, PDF out).
  std::string WriteJob(const std::vector<std::string>& inputs, const std::string& name = "job.ZOL") {
    std::string text;
    int n = 0;
    for (const std::string& in : inputs) {
      const std::string number = std::to_string(++n);
      text += "M\t\t" + number + "\tC\t" + in + "\t13\tpng\t" + dir_.file("out/" + number + ".pdf") + "\t100\tPDF\r\n";
    }
    text += "\t\t*\t\t\t\t\t\t\t\r\n";
    return WriteFile(dir_.path() / name, text);
  }
  std::string WriteImage(const std::string& name) {
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const std::string path = dir_.file(name);
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    image.save(QString::fromStdString(path));
    return path;
  }
  std::string Ini(const char* section, const char* key) { return ReadIniString(sIniFile, section, key, "<none>"); }

  TempDir dir_;
  ScopedHome home_;
  MainForm frm_;
  std::unique_ptr<MainFrame> frame_;
  ScriptedWindowUserInterface* ui_ = nullptr;  // owned by the frame
};

}  // namespace tessa::test
