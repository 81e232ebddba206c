#include "mainwindow/main_form_settings.h"

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "engine/main_form.h"

namespace tessa {

namespace {

constexpr const char* kSection = "frmMain";

int ReadInt(const char* key, int def) { return static_cast<int>(ReadSettingLong(kSection, key, def)); }

std::string ToDoWidthKey(int col) { return "fgToDo.ColWidth(" + std::to_string(col) + ")"; }
std::string LogWidthKey(int col) { return "fgLog.ColWidth(" + std::to_string(col) + ")"; }

}  // namespace

void ReadMainFormSettings(MainForm& frm, MainFormSettings& s, bool bWindow) {
  const MainFormSettings d;
  ReadMainFormOptions(frm);
  s.bSchedulePersisted = ReadSettingLong("frmScheduler", "chkPersistRunning", 0) != 0;
  if (bWindow) {
    s.bWarnedAboutChangingOptionsFromShellExtender =
        ReadSettingBool(kSection, "bWarnedAboutChangingOptionsFromShellExtender", false);
    for (size_t i = 0; i < kLogWidthColumns.size(); ++i)
      s.logWidths[i] = ReadInt(LogWidthKey(kLogWidthColumns[i]).c_str(), d.logWidths[i]);
    for (size_t i = 0; i < kToDoWidthColumns.size(); ++i)
      s.toDoWidths[i] = ReadInt(ToDoWidthKey(kToDoWidthColumns[i]).c_str(), d.toDoWidths[i]);
  }
  s.cbSpecialProcessesIndex = ReadInt("cbSpecialProcesses.ListIndex", 0);
  s.cbCommandLineWindowStateIndex = ReadInt("cbCommandLineWindowState.ListIndex", 1);
  s.cbCommandLineThreadPriorityIndex = ReadInt("cbCommandLineThreadPriority.ListIndex", 1);
  s.txtCommandLineWaitTimeInSeconds = std::to_string(ReadSettingLong(kSection, "txtCommandLineWaitTimeInSeconds", -1));
  s.cbFileTypeTargetIndex = ReadInt("cbFileTypeTarget.ListIndex", 0);
  s.cbFileTypeOriginalIndex = ReadInt("cbFileTypeOriginal.ListIndex", 0);
  s.cbDoSubfolders = ReadInt("cbDoSubfolders", 0) != 0 ? 1 : 0;
}

void SaveMainFormSettings(const MainForm& frm, const MainFormSettings& s) {
  if (bCommandLineMode) return;
  WriteSettingBool(kSection, "bContinueFileListingOnError", frm.bContinueFileListingOnError);
  WriteSettingBool(kSection, "bWarnedAboutChangingOptionsFromShellExtender",
                   s.bWarnedAboutChangingOptionsFromShellExtender);
  WriteSettingBool(kSection, "bTryAutodetectIfFailed", frm.bTryAutodetectIfFailed);
  WriteSettingBool(kSection, "bDeleteOriginalFileAfterProcessing", frm.bDeleteOriginalFileAfterProcessing);
  WriteSetting(kSection, "sLogFile", frm.sLogFile);
  WriteSetting(kSection, "sQuirepaneAdvancedOptions", frm.sQuirepaneAdvancedOptions);
  WriteSettingBool(kSection, "bSkipProcessedFiles", frm.bSkipProcessedFiles);
  WriteSettingBool(kSection, "bRetainInputFileTimeStamp", frm.bRetainInputFileTimeStamp);
  WriteSettingBool(kSection, "bMoveOriginalFileAfterProcessing", frm.bMoveOriginalFileAfterProcessing);
  WriteSetting(kSection, "sMoveFileToFolder", frm.sMoveFileToFolder);
  for (size_t i = 0; i < kLogWidthColumns.size(); ++i)
    WriteSettingLong(kSection, LogWidthKey(kLogWidthColumns[i]), s.logWidths[i]);
  for (size_t i = 0; i < kToDoWidthColumns.size(); ++i)
    WriteSettingLong(kSection, ToDoWidthKey(kToDoWidthColumns[i]), s.toDoWidths[i]);
  WriteSettingLong(kSection, "cbFileTypeOriginal.ListIndex", s.cbFileTypeOriginalIndex);
  WriteSettingLong(kSection, "cbFileTypeTarget.ListIndex", s.cbFileTypeTargetIndex);
  WriteSettingLong(kSection, "cbSpecialProcesses.ListIndex", s.cbSpecialProcessesIndex);
  WriteSettingLong(kSection, "cbCommandLineWindowState.ListIndex", s.cbCommandLineWindowStateIndex);
  WriteSettingLong(kSection, "cbCommandLineThreadPriority.ListIndex", s.cbCommandLineThreadPriorityIndex);
  WriteSetting(kSection, "txtCommandLineWaitTimeInSeconds", s.txtCommandLineWaitTimeInSeconds);
  WriteSettingLong(kSection, "cbDoSubfolders", s.cbDoSubfolders);
  WriteSettingLong(kSection, "lConversionMethod", frm.lConversionMethod);
  WriteSetting(kSection, "sActionToDO", frm.sActionToDo);
  WriteSetting("frmTypeMatchNotification", "bDontShowFileMismatchAgain",
               frm.frmTypeMatchNotification.bDontShowFileMismatchAgain ? "True" : "False");
}

}  // namespace tessa
