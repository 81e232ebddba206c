#include "engine/run/process_tasks.h"

#include <chrono>
#include <thread>

#include "common/path_macros.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/run/run_clock.h"
#include "engine/status_panels.h"
#include "engine/task/caret_records.h"
#include "engine/task/input_type_list.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "platform/process_runner.h"
#include "platform/tick_count.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// How long the wait for a started program sleeps between two looks at it.
constexpr auto kPollInterval = std::chrono::milliseconds(25);

}  // namespace

bool PriorityClassToNice(int32_t priority, int& niceValue) {
  switch (priority) {
    case kPriorityIdle: niceValue = 19; return true;
    case kPriorityNormal: niceValue = 0; return true;
    case kPriorityHigh: niceValue = -10; return true;
    case kPriorityRealtime: niceValue = -20; return true;
    default: return false;
  }
}

int32_t ExecAndWait(MainForm& frm, const std::string& program, const std::string& arguments, int32_t /*windowState*/,
                    int32_t priority, int32_t waitSeconds, int32_t& exitCode) {
  std::string sProgram = program;
  std::string sArguments = arguments;
  sProgram = ExpandPathMacros(sProgram);
  sArguments = ExpandPathMacros(sArguments);
  sProgram = ToForwardSlashes(sProgram);  // a stored path may use "\"

  const int64_t waitStart = GetTickCount();
  int niceValue = 0;
  const bool bSetNice = PriorityClassToNice(priority, niceValue);
  ChildProcess child;
  if (sProgram.empty() || child.Start(sProgram, SplitArguments(sArguments), bSetNice, niceValue) != 0) {
    return kProcessLaunchFailed;
  }

  UserInterface& ui = CurrentUserInterface();
  int32_t code = 0;
  bool ended = false;
  while (!ended && frm.bRunning) {
    const int64_t now = GetTickCount();
    ui.SetStatusPanel(kPanelElapsed, FormatElapsedSeconds(now - frm.lTotalTimeStart));
    if (waitSeconds != kWaitWithoutLimit && static_cast<double>(now - waitStart) / 1000.0 > waitSeconds) break;
    ui.DoEvents();
    std::this_thread::sleep_for(kPollInterval);
    ended = child.HasEnded(code);
  }
  if (!ended) ended = child.HasEnded(code);
  if (!ended) {
    child.Release();  // left running; reaped when it ends
    return kProcessTimeout;
  }
  exitCode = code;
  return kProcessOk;
}

int32_t RunCommandLineItem(MainForm& frm, clsConversionOptions& record) {
  int32_t priority = 0;
  int32_t windowState = 0;
  int32_t waitSeconds = 0;
  SplitCaretFields3(record.sExtraParams, priority, windowState, waitSeconds);
  int32_t exitCode = 0;
  const int32_t rc =
      ExecAndWait(frm, record.sOriginalFile, record.sTargetFile, windowState, priority, waitSeconds, exitCode);
  record.lCommandLineExitCode = exitCode;
  return rc;
}

std::string GetErrorMessage(const clsConversionOptions& record) {
  switch (record.lErr) {
    case kProcessOk: return Translate("Successfully Processed.");
    case kProcessLaunchFailed: return Translate("Unable to launch application.");
    case kProcessTimeout: return Translate("Process did not complete in the specified time (Timeout)");
    default: return "";
  }
}

int32_t GetFileTypeFromExtension(const std::string& path) {
  const std::string ext = GetFileExtension(path);
  if (ext.empty()) return 0;
  const int32_t index = FormatTypeIndex(ext);
  if (index < 0) return -1;
  return InputTypeRows()[static_cast<size_t>(index)].code;
}

int32_t DetectInputType(const std::string& path) {
  constexpr int32_t kTypeJpeg = 2;
  constexpr int32_t kTypeTiff = 18;
  if (quirepane::bIsTiffFile(path)) return kTypeTiff;
  if (quirepane::bIsJpegFile(path)) return kTypeJpeg;
  return GetFileTypeFromExtension(path);
}

int32_t PerformSpecialProcessItem(MainForm& frm, clsConversionOptions& record, const JobFileLoader& loadJobFile) {
  switch (record.lSpecialProcess) {
    case kProcessReloadJob:
      if (loadJobFile) loadJobFile(record.sTargetFile, record.lTargetFileType, frm.fgToDo);
      break;
    case kProcessStartProgram:
      record.lErr = RunCommandLineItem(frm, record);
      break;
    default:
      break;
  }
  record.sErr = GetErrorMessage(record);
  return record.lErr;
}

}  // namespace tessa
