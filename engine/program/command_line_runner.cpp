#include "engine/program/command_line_runner.h"

#include <cstdio>
#include <string>
#include <vector>

#include "common/file_helpers.h"
#include "common/log_writer.h"
#include "common/translator.h"
#include "engine/job/job_file.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/result_codes.h"
#include "engine/run/block_dispatch.h"
#include "engine/run/run_clock.h"
#include "platform/stop_signals.h"
#include "platform/tick_count.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// Column of a log row: task number, input, status; column 10 the pass mark.
constexpr int kLogTaskColumn = 2;
constexpr int kLogInputColumn = 4;
constexpr int kLogPassColumn = 10;
constexpr int kLogStatusColumn = 11;

// True when a log row (1 .. Rows-2; the last row is the empty placeholder)
// is marked as failed.
bool bLogHoldsFailure(const FlexGrid& fgLog) {
  for (int row = 1; row <= fgLog.Rows() - 2; ++row)
    if (fgLog.TextMatrix(row, kLogPassColumn) == "-") return true;
  return false;
}

// While the tasks of a run without a window run, the log writer's notices
// (one per file with verbose logging) would each open a box: they go only to
// the log file. Other boxes get the headless answer, as a line on stderr.
class QuietRunNotices : public UserInterface {
 public:
  QuietRunNotices() : previous_(CurrentUserInterface()) { SetUserInterface(this); }
  ~QuietRunNotices() override { SetUserInterface(&previous_); }
  QuietRunNotices(const QuietRunNotices&) = delete;
  QuietRunNotices& operator=(const QuietRunNotices&) = delete;

  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    if ((style & 7) == vbOKOnly && (style & 0x70) == vbInformation) return vbOK;
    return headless_.MsgBox(prompt, style, title);
  }
  void SetStatusPanel(int panel, const std::string& text) override { previous_.SetStatusPanel(panel, text); }
  void SetStatusPanelEnabled(int panel, bool enabled) override { previous_.SetStatusPanelEnabled(panel, enabled); }
  void DoEvents() override { previous_.DoEvents(); }
  bool CanShowWindows() const override { return false; }

 private:
  UserInterface& previous_;
  HeadlessUserInterface headless_;
};

// True when the to-do grid holds a task that converts or runs something.
bool bHoldsTask(const FlexGrid& fgToDo) {
  for (int row = 1; row <= fgToDo.Rows() - 2; ++row) {
    const std::string action = fgToDo.TextMatrix(row, kColAction);
    if (action.find('C') != std::string::npos || action.find('S') != std::string::npos) return true;
  }
  return false;
}

// Runs the job file of /J, or else the record as block 1; the run's code.
int32_t RunTasks(MainForm& frm, clsConversionOptions& record) {
  QuietRunNotices quiet;
  if (!record.sCLBatchJobFile.empty()) {
    const bool bOpened = frm.ConversionJobOpen(record.sCLBatchJobFile);
    if (bOpened && !bHoldsTask(frm.fgToDo)) {
      // An empty job, or a file that is no job at all, did nothing: a failure.
      frm.InitLogGrid(frm.fgLog);
      frm.fgLog.AddRow(
          FailedLogRowCells(record.sCLBatchJobFile, Translate("The conversion job file holds no task that can be run")),
          frm.fgLog.Rows() - 1);
      return kJobRunFailed;
    }
    frm.sRunLogFile = record.sLogFile;
    frm.ConversionJobBegin();
    frm.sRunLogFile.clear();
    // Log rows are also written for successes (verbose logging, exit codes of
    // started programs); only a row marked "-" is a failure.
    return bLogHoldsFailure(frm.fgLog) ? kJobRunFailed : 0;
  }
  int32_t result = 0;
  PerformBlock(frm, 1, record, result, [&frm](const std::string& sFile, int32_t lStartTask, FlexGrid& fg) {
    frm.LoadJobFileIntoGrid(sFile, lStartTask, fg);
  });
  return result;
}

}  // namespace

int32_t PerformCommandLine(MainForm& frm, clsConversionOptions& record) {
  int32_t result = RunTasks(frm, record);
  frm.bRunning = false;

  std::vector<std::string> lines;
  bool bLogWritten = true;
  std::string sLogError;  // the system's reason of the first line that failed
  const auto log = [&](const std::string& line) {
    lines.push_back(line);
    std::string why;
    if (WriteToLogFile(line, record.sLogFile, false, &why)) return;
    if (bLogWritten) sLogError = why;
    bLogWritten = false;
  };
  const FlexGrid& fgLog = frm.fgLog;
  // One line per log row, whatever line breaks its texts hold.
  const auto jobLine = [&](int row, const std::string& status) {
    return LogSafeLine(Translate("Job # ") + fgLog.TextMatrix(row, kLogTaskColumn) + "  " + status + " - " +
                       fgLog.TextMatrix(row, kLogInputColumn));
  };
  const int sig = StopSignalReceived();
  if (result != 0) {
    for (int row = 1; row <= fgLog.Rows() - 2; ++row) log(jobLine(row, fgLog.TextMatrix(row, kLogStatusColumn)));
  } else if (sig == 0) {
    log(Translate("Conversion Successful"));
  }
  if (sig != 0) log(Translate("The conversion was stopped by signal") + " " + std::to_string(sig));
  log(Translate("Time to complete job: ") + FormatElapsedSeconds(GetTickCount() - frm.lTotalTimeStart));

  bool bJobFileWritten = true;
  std::string sJobFileError;
  if (!record.sLogAsConversionJobFile.empty() && result != 0) {
    LogJobRows rows;
    rows.bFailedOnly = true;
    bJobFileWritten = SaveLogGridAsJobFile(record.sLogAsConversionJobFile, fgLog, &sJobFileError, &rows);
    if (!bJobFileWritten) log(Translate("Unable to create file. Try a different folder such as 'My Documents'"));
    const std::string leftOut = Translate(
        "Left out of the failed-tasks job file: a path or PDF text holds a line break, a tab or bytes that are "
        "not UTF-8, or a name a backslash or a blank at its start or end, or a wildcard (* or ?)");
    for (int row : rows.leftOut) log(jobLine(row, leftOut));
  }

  // A failed run says why on the terminal when no log holds it; lines shown
  // there are not shown again as boxes.
  const bool bToStderr = result != 0 && (record.sLogFile.empty() || !bLogWritten);
  const bool bBoxesShowLines = CurrentUserInterface().CanShowWindows() || !bToStderr;
  for (const std::string& line : lines) {
    if (bToStderr) std::fprintf(stderr, "%s\n", LogSafeText(line).c_str());
    if (record.bVerbose && bBoxesShowLines) WriteToLogFile(line, "", true);
  }
  if (!bLogWritten) {
    std::fprintf(stderr, "tessaprint: %s %s (%s)\n", Translate("Unable to write the log file").c_str(),
                 LogSafeLine(record.sLogFile).c_str(), sLogError.c_str());
    if (result == 0) result = kJobRunFailed;
  }
  if (!bJobFileWritten)
    std::fprintf(stderr, "tessaprint: %s %s\n", Translate("Unable to write the failed-tasks job file").c_str(),
                 LogSafeLine(sJobFileError.empty() ? record.sLogAsConversionJobFile : sJobFileError).c_str());
  return result;
}

}  // namespace tessa
