// The three work routines of the context helper: one PDF per input, every
// input appended to a chosen PDF, or one new Vemo-Output.PDF from all. Each
// expands the chosen folders, names the outputs, asks about existing ones
// and sends one command per file to tessaprint's automation class, turning
// each result code into a line of the error list.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "contexthelper/automation_session.h"
#include "contexthelper/helper_texts.h"
#include "contexthelper/progress_view.h"
#include "contexthelper/run_request.h"
#include "platform/user_interface.h"

namespace tessa::ferrowick {

// Opens a finished PDF with the desktop's program.
using OpenResult = std::function<void(const std::string& path)>;

// At most this many outputs of a one-PDF-per-file run are opened.
inline constexpr int kMaxOpenedOutputs = 24;

class WorkRoutines {
 public:
  // ui asks the overwrite questions and shows the failure boxes.
  WorkRoutines(ProgressView& view, AutomationSession& automation, UserInterface& ui, OpenResult open);

  // Runs the routine of request. True when the run ended without any error
  // text (the window may then close by itself); after a run with errors the
  // view shows its error layout.
  bool Run(const RunRequest& request);

 private:
  void DoWorkConvert(RunRequest r);
  void DoWorkAppend(const RunRequest& r);
  void DoWorkConvertAndAppend(const RunRequest& r);

  // Converts every input into output, appending; false when the automation
  // service failed (the failure is shown). Sets anyFailed_ for a failed file.
  bool AppendAll(const std::vector<std::string>& inputs, const std::string& output, WorkRoutine routine);
  // The end of the single-PDF routines: full progress, open the output when
  // no file failed.
  void FinishSinglePdf(const std::string& output, bool open);

  // Why an input cannot go to output ("" when it can): it is the output
  // itself, or a path a command cannot carry.
  static std::string SkipReason(const std::string& input, const std::string& output);
  // True, with its error line, when the one output of a single-PDF routine
  // is a path a command cannot carry: no input can go to it.
  bool bOutputRefused(const std::string& output);

  void StartProgress(int count);
  void FileStarted(const std::string& path);
  void FileFinished();
  void AddErrorLine(const std::string& line);
  void AutomationFailed(int number);
  void NoFilesChosen();

  ProgressView& view_;
  AutomationSession& automation_;
  UserInterface& ui_;
  OpenResult open_;
  std::string errors_;
  int done_ = 0;
  int count_ = 0;
  int converted_ = 0;  // inputs that went into the single PDF
  bool anyFailed_ = false;
};

}  // namespace tessa::ferrowick
