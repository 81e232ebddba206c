// Helpers shared by the job tests: a job view with an editor panel whose
// task the test sets, and job-file text built from simple task lines.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/program_modes.h"
#include "engine/task/conversion_options.h"
#include "engine/job_view.h"
#include "engine/main_form.h"
#include "engine/job/todo_grid.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa::test {

// Runs as a command line for the life of the object.
struct CommandLineModeScope {
  CommandLineModeScope() { bCommandLineMode = true; }
  ~CommandLineModeScope() { bCommandLineMode = false; }
};

// A user interface whose yields can run a test's event (a click on Pause).
struct EventUserInterface : ScriptedUserInterface {
  std::function<void()> onYield;
  void DoEvents() override {
    ScriptedUserInterface::DoEvents();
    if (onYield) onYield();
  }
};

class FakeJobView : public JobView {
 public:
  std::optional<clsConversionOptions> editor;  // the panel's task; none: no panel
  std::string picked;                          // answer of the file dialogs
  std::string caption, frameCaption;
  std::vector<std::string> opened;
  int schedulerStops = 0;

  bool CollectConversionItemFromGUI(clsConversionOptions& co) override {
    if (!editor) return false;
    co = *editor;
    return true;
  }
  std::string PickJobFile(bool, const std::string&, const std::string&) override { return picked; }
  void SetFormCaption(const std::string& c) override { caption = c; }
  void SetFrameCaption(const std::string& c) override { frameCaption = c; }
  void AddOpenedJobFile(const std::string& p) override { opened.push_back(p); }
  void StopScheduler() override { ++schedulerStops; }
};

// A main form with the fake job view and fresh to-do and log grids, over a
// scripted interface of type Ui and a scratch folder.
template <class Ui>
struct JobFormTest : ::testing::Test {
  Ui ui;
  TempDir dir;
  FakeJobView view;
  MainForm form;
  JobFormTest() {
    form.SetJobView(&view);
    form.InitToDoGrid(form.fgToDo);
    form.InitLogGrid(form.fgLog);
  }
};

// A job-file line of a conversion task numbered n: input "in<n>.bmp".
inline std::string TaskLine(int n, const std::string& pass = "") {
  return "M\tFALSE^^^^^^0^*^\t" + std::to_string(n) + "\tC\t/data/in" + std::to_string(n) + ".bmp\t0\tbmp\t/out/" +
         std::to_string(n) + ".pdf\t100\tPDF\t" + pass + "\t\r\n";
}

inline const char* kPlaceholderLine = "\t\t*\t\t\t\t\t\t\t\t\t\r\n";

// A job file text of tasks 1..count and the placeholder line.
inline std::string JobText(int count) {
  std::string text;
  for (int n = 1; n <= count; ++n) text += TaskLine(n);
  return text + kPlaceholderLine;
}

// The pass marks of the to-do rows (the placeholder row left out), one
// character a row, "." for a row without a mark.
inline std::string PassMarks(const MainForm& form) {
  std::string marks;
  for (int r = 1; r <= form.fgToDo.Rows() - 2; ++r) {
    const std::string& pass = form.fgToDo.TextMatrix(r, kColPass);
    marks += pass.empty() ? "." : pass;
  }
  return marks;
}

}  // namespace tessa::test
