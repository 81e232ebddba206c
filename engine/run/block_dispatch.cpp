// The per-file loop has three shapes. One file: the input names no wildcard
// and the output holds no "*". One output per input: both are masks and the
// task does not append; the input folder's sub-folders are mirrored under
// the output folder. Many into one: the input is a mask and the output one
// file (or a mask that appends, which becomes ".../Append.pdf"); every file
// is appended to it.
#include "engine/run/block_dispatch.h"

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "common/file_helpers.h"
#include "common/path_macros.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/result_codes.h"
#include "engine/run/conversion_driver.h"
#include "engine/run/run_clock.h"
#include "engine/run/run_log.h"
#include "engine/run/task_file_list.h"
#include "engine/status_panels.h"
#include "engine/task/caret_records.h"
#include "engine/task/validation.h"
#include "platform/stop_signals.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// sFolder with exactly one "/" at its end; "" stays "" (the current folder).
std::string AsFolder(const std::string& sFolder) {
  if (sFolder.empty()) return "";
  std::string s = sFolder;
  while (s.size() > 1 && s.back() == '/' && s[s.size() - 2] == '/') s.pop_back();
  if (s.back() != '/') s += "/";
  return s;
}

// The file name of sPath without its extension. Listed names are names: a
// "\" in one is part of it.
std::string BaseName(const std::string& sPath) {
  const size_t slash = sPath.rfind('/');
  const std::string name = slash == std::string::npos ? sPath : sPath.substr(slash + 1);
  const size_t dot = name.rfind('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool AppendFlag(const std::string& sExtraParams) {
  AdvancedOptions options;
  ParseAdvancedOptions(sExtraParams, options);
  return options.append;
}

std::string WithAppend(const std::string& sExtraParams) {
  AdvancedOptions options;
  ParseAdvancedOptions(sExtraParams, options);
  options.append = true;
  return BuildAdvancedOptions(options);
}

void ShowElapsed(const MainForm& frm) {
  CurrentUserInterface().SetStatusPanel(kPanelElapsed, ElapsedSecondsText(frm.lTotalTimeStart));
}

void ShowProgress(const std::string& sFile, int32_t i, int32_t lCount) {
  UserInterface& ui = CurrentUserInterface();
  ui.SetStatusPanel(kPanelCurrentFile, sFile);
  ui.SetStatusPanel(kPanelRunState, " " + FormatOneDecimal(i * 100.0 / lCount) + Translate(" Percent Complete "));
}

// The record that the files of a multi-file block share.
clsConversionOptions MakeFileRecord(const clsConversionOptions& coBlock) {
  clsConversionOptions co;
  co.lConversionMethod = coBlock.lConversionMethod;
  co.sActionToDo = coBlock.sActionToDo;
  co.lSpecialProcess = coBlock.lSpecialProcess;
  co.sExtraParams = coBlock.sExtraParams;
  co.bVerboseLog = coBlock.bVerboseLog;
  co.sLogFile = coBlock.sLogFile;
  co.lOriginalFileType = coBlock.lOriginalFileType;
  co.lTargetFileType = coBlock.lTargetFileType;
  return co;
}

// Where a listed file of a mask lies below the mask's folder, and its own
// folder. Only "/" parts the listed path: the names the listing gave stay
// names, so nothing built from them leaves the folder it is built for.
struct FilePlace {
  std::string sFolder;     // the file's folder, ending in "/"
  std::string sSubFolder;  // the part of it below the mask's folder
  std::string sBase;       // the file name without extension
};

FilePlace PlaceOf(const std::string& sFile, const std::string& sRoot) {
  FilePlace place;
  place.sFolder = AsFolder(GetParentFolderAsNamed(sFile));
  place.sBase = BaseName(sFile);
  if (place.sFolder.size() > sRoot.size()) place.sSubFolder = place.sFolder.substr(sRoot.size());
  return place;
}

// How an output mask names the output of each file: its text before the
// first "*" and its extension, which is "pdf" unless already PDF in any case.
struct OutputNaming {
  std::string sPrefix;
  std::string sExtension;
};

OutputNaming NamingOf(const std::string& sTargetMask) {
  OutputNaming naming{sTargetMask.substr(0, sTargetMask.find('*')), GetFileExtension(sTargetMask)};
  if (ToLowerAscii(naming.sExtension) != "pdf") naming.sExtension = "pdf";
  return naming;
}

// The output of a file: beside it, or under the prefix in its mirrored
// sub-folder (created when missing).
std::string OutputOf(const FilePlace& place, const OutputNaming& naming, bool bSaveInOriginalFolder) {
  if (bSaveInOriginalFolder) return place.sFolder + place.sBase + "." + naming.sExtension;
  const std::string sOutFolder = naming.sPrefix + place.sSubFolder;
  if (!sOutFolder.empty() && !bFolderExists(sOutFolder)) MakeFolderPath(sOutFolder);
  return sOutFolder + place.sBase + "." + naming.sExtension;
}

// The first index of a multi-file loop; the remembered index is used once.
int32_t TakeStartIndex(MainForm& frm) {
  const int32_t start = frm.lResumeFileIndex != 0 ? frm.lResumeFileIndex : 1;
  frm.lResumeFileIndex = 0;
  return start;
}

// Remembers where a loop that stopped at index i of lCount goes on.
void NoteStop(MainForm& frm, int32_t i, int32_t lCount) {
  if (!frm.bRunning && i <= lCount) frm.lResumeFileIndex = i;
}

// True when every outcome of co is logged, not only failures: a log file is
// set, or the task asks for every file (verbose logging, /Z).
bool bLogsEveryFile(const MainForm& frm, const clsConversionOptions& co) {
  return !frm.sLogFile.empty() || co.bVerboseLog;
}

// True when the outcome r of co is logged: every file is, or r failed, or
// the input had to take a free name in the move folder.
bool bLogsOutcome(const MainForm& frm, const clsConversionOptions& co, int32_t r) {
  return bLogsEveryFile(frm, co) || r != 0 || !co.sInputNote.empty();
}

// Logs r for the per-file record when its outcome is logged; a failure
// becomes the block's code and no later success hides it.
void NoteFileResult(MainForm& frm, int32_t lJobNumber, clsConversionOptions& co, int32_t r, int32_t& ret) {
  if (bLogsOutcome(frm, co, r)) LogConversionError(frm, lJobNumber, co);
  if (r != 0) ret = r;
}

void ConvertSingleFile(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret) {
  if (bFileExists(coBlock.sTargetFile) && frm.bSkipProcessedFiles) {
    ret = 0;
    return;
  }
  UserInterface& ui = CurrentUserInterface();
  ui.SetStatusPanel(kPanelCurrentFile, coBlock.sOriginalFile);
  ui.DoEvents();
  PerformConversionItem(frm, coBlock);
  if (bLogsOutcome(frm, coBlock, coBlock.lErr)) LogConversionError(frm, lJobNumber, coBlock);
  ret = coBlock.lErr;
  ShowElapsed(frm);
}

// Runs the block's files from the loop's start index on: outputOf gives a
// file's output, or nothing to skip it; perform converts the prepared record
// and gives its result. Stops when the run is stopped and notes where.
template <typename OutputOf, typename Perform>
void ForEachBlockFile(MainForm& frm, int32_t lJobNumber, const std::vector<std::string>& files,
                      const std::string& sRoot, clsConversionOptions& co, int32_t& ret, OutputOf outputOf,
                      Perform perform) {
  const int32_t lCount = static_cast<int32_t>(files.size());
  int32_t i = TakeStartIndex(frm);
  for (; i <= lCount; ++i) {
    CurrentUserInterface().DoEvents();
    if (StopSignalReceived() != 0) frm.bRunning = false;
    if (!frm.bRunning) break;
    const std::string& sFile = files[i - 1];
    const FilePlace place = PlaceOf(sFile, sRoot);
    const std::optional<std::string> sOutput = outputOf(place);
    if (!sOutput) continue;
    ShowProgress(sFile, i, lCount);

    co.sOriginalFile = sFile;
    co.sSubFolder = place.sSubFolder;
    co.sTargetFile = *sOutput;
    const int32_t r = perform(co);
    ShowElapsed(frm);
    NoteFileResult(frm, lJobNumber, co, r, ret);
  }
  NoteStop(frm, i, lCount);
}

void ConvertEachToOwnPdf(MainForm& frm, int32_t lJobNumber, const clsConversionOptions& coBlock,
                         const std::vector<std::string>& files, clsConversionOptions& co, int32_t& ret) {
  const OutputNaming naming = NamingOf(coBlock.sTargetFile);
  const std::string sRoot = AsFolder(GetParentFolder(coBlock.sOriginalFile));
  std::set<std::string> written;  // outputs written by earlier files of the task
  ForEachBlockFile(
      frm, lJobNumber, files, sRoot, co, ret,
      [&](const FilePlace& place) -> std::optional<std::string> {
        std::string sOutput = OutputOf(place, naming, coBlock.bSaveInOriginalFolder);
        if (bFileExists(sOutput) && frm.bSkipProcessedFiles) return std::nullopt;
        return sOutput;
      },
      [&](clsConversionOptions& item) {
        // Inputs that differ only in their extension name one output: the
        // first keeps it, a later one fails rather than replace it.
        const std::string key = OutputFileKey(item.sTargetFile);
        if (written.count(key) != 0) {
          item.lErr = kRunGeneralFailure;
          item.sErr = Translate("PDF was not created - Another input of this task was written to the same output file") +
                      " " + Translate("Output File") + ": " + item.sTargetFile + " " + Translate("Input File") + ": " +
                      item.sOriginalFile;
          return item.lErr;
        }
        const int32_t r = PerformConversionItem(frm, item);
        if (r == 0) written.insert(key);
        return r;
      });
}

void ConvertAllIntoOne(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock,
                       const std::vector<std::string>& files, clsConversionOptions& co, int32_t& ret) {
  if (coBlock.sTargetFile.find('*') != std::string::npos) {
    std::string s;
    for (char c : coBlock.sTargetFile) s += c == '*' ? std::string("Append") : std::string(1, c);
    coBlock.sTargetFile = s;
  }
  if (bFileExists(coBlock.sTargetFile) && frm.bSkipProcessedFiles) {
    ret = 0;
    return;
  }
  // Every file is added to the one output, whatever the task's append flag.
  const std::string sOwnParams = co.sExtraParams;
  const std::string sAppending = WithAppend(sOwnParams);
  const std::string sRoot = AsFolder(GetParentFolder(coBlock.sOriginalFile));
  ForEachBlockFile(
      frm, lJobNumber, files, sRoot, co, ret,
      [&](const FilePlace&) -> std::optional<std::string> { return coBlock.sTargetFile; },
      [&](clsConversionOptions& item) {
        item.sExtraParams = sAppending;
        const int32_t r = PerformConversionItem(frm, item);
        item.sExtraParams = sOwnParams;
        return r;
      });
}

// Lists the block's input files; a listing that fails is logged and ends
// the block with its code.
bool ListBlockFiles(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock,
                    std::vector<std::string>& files, int32_t& ret) {
  if (BuildFileListForItem(coBlock, coBlock.sOriginalFile, files, true, frm.bContinueFileListingOnError))
    return true;
  ret = kRunFileListFailed;
  coBlock.lErr = kRunFileListFailed;
  LogConversionError(frm, lJobNumber, coBlock);
  return false;
}

// text with its line breaks as blanks.
std::string OneLine(const std::string& text) {
  std::string line;
  for (std::string part : SplitText(text, '\n')) {
    if (!part.empty() && part.back() == '\r') part.pop_back();
    line += (line.empty() ? "" : " ") + part;
  }
  return line;
}

// A block started while the run is paused says so.
void NotePause(const MainForm& frm, clsConversionOptions& coBlock) {
  if (frm.bRunning) return;
  coBlock.sErr = Translate("Conversion Process paused.");
  coBlock.lErr = 0;
}

// Fails a job row that validation would have refused with code.
void FailBlock(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t code, int32_t& ret) {
  coBlock.lErr = code;
  coBlock.sErr = OneLine(CommandLineItemErrorText(coBlock));
  LogConversionError(frm, lJobNumber, coBlock);
  ret = coBlock.lErr;
}

}  // namespace

void PerformBlock(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret,
                  const JobFileLoader& loadJobFile) {
  coBlock.sTargetFile = ExpandPathMacros(coBlock.sTargetFile);
  coBlock.sOriginalFile = ExpandPathMacros(coBlock.sOriginalFile);
  if (coBlock.sLogFile.empty()) coBlock.sLogFile = frm.sRunLogFile;
  coBlock.sLogFile = ExpandPathMacros(coBlock.sLogFile);
  coBlock.sLogAsConversionJobFile = ExpandPathMacros(coBlock.sLogAsConversionJobFile);
  coBlock.sCurrentBatchJobFile = ExpandPathMacros(coBlock.sCurrentBatchJobFile);
  ret = 0;
  if (coBlock.sActionToDo.find('C') != std::string::npos) {
    PerformBlockConversion(frm, lJobNumber, coBlock, ret);
  } else if (coBlock.sActionToDo.find('S') != std::string::npos) {
    PerformBlockSpecialized(frm, lJobNumber, coBlock, ret, loadJobFile);
  }
}

void PerformBlockConversion(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret) {
  ret = 0;
  coBlock.sOriginalFile = ToForwardSlashes(coBlock.sOriginalFile);
  coBlock.sTargetFile = ToForwardSlashes(coBlock.sTargetFile);

  if (bOutputFolderHasWildcard(coBlock.sTargetFile)) {
    // A job row is not checked when it is loaded: the task fails with the
    // check's verdict before any folder is made.
    FailBlock(frm, lJobNumber, coBlock, kWildcardInOutputFolder, ret);
    return;
  }
  std::vector<std::string> files;
  if (!ListBlockFiles(frm, lJobNumber, coBlock, files, ret)) return;
  NotePause(frm, coBlock);

  const std::string sTargetFolder = GetParentFolder(coBlock.sTargetFile);
  if (!sTargetFolder.empty() && !bFolderExists(sTargetFolder)) MakeFolderPath(sTargetFolder);
  clsConversionOptions co = MakeFileRecord(coBlock);
  const bool bAppend = AppendFlag(coBlock.sExtraParams);

  const bool bInputMask = bHasWildcards(coBlock.sOriginalFile);
  const bool bOutputMask = coBlock.sTargetFile.find('*') != std::string::npos;
  if (!bInputMask && !bOutputMask) {
    ConvertSingleFile(frm, lJobNumber, coBlock, ret);
  } else if (bInputMask && bOutputMask && !bAppend) {
    ConvertEachToOwnPdf(frm, lJobNumber, coBlock, files, co, ret);
  } else if (bInputMask) {
    ConvertAllIntoOne(frm, lJobNumber, coBlock, files, co, ret);
  } else {
    // One input into an output mask names no output.
    FailBlock(frm, lJobNumber, coBlock, kWildcardOutputForOneFile, ret);
  }
}

void PerformBlockSpecialized(MainForm& frm, int32_t lJobNumber, clsConversionOptions& coBlock, int32_t& ret,
                             const JobFileLoader& loadJobFile) {
  ret = 0;
  clsConversionOptions co;
  co.sActionToDo = coBlock.sActionToDo;
  co.lSpecialProcess = coBlock.lSpecialProcess;
  co.sExtraParams = coBlock.sExtraParams;

  std::vector<std::string> files;
  if (coBlock.lSpecialProcess != kProcessStartProgram && coBlock.lSpecialProcess != kProcessReloadJob) {
    if (!ListBlockFiles(frm, lJobNumber, coBlock, files, ret)) return;
  }
  NotePause(frm, coBlock);

  UserInterface& ui = CurrentUserInterface();
  if (coBlock.sOriginalFile.find('*') == std::string::npos) {
    ui.SetStatusPanel(kPanelCurrentFile, coBlock.sOriginalFile);
    ui.DoEvents();
    PerformSpecialProcessItem(frm, coBlock, loadJobFile);
    if (coBlock.lErr != 0 || bLogsEveryFile(frm, coBlock)) LogConversionError(frm, lJobNumber, coBlock);
    if (coBlock.lSpecialProcess == kProcessStartProgram && coBlock.lErr == 0) LogExitCode(frm, lJobNumber, coBlock);
    ret = coBlock.lErr;
    ShowElapsed(frm);
    return;
  }

  // A mask: one run per file, outputs named as for one PDF per input.
  const OutputNaming naming = NamingOf(coBlock.sTargetFile);
  const std::string sRoot = AsFolder(GetParentFolder(coBlock.sOriginalFile));
  const int32_t lCount = static_cast<int32_t>(files.size());
  int32_t i = TakeStartIndex(frm);
  for (; i <= lCount; ++i) {
    ui.DoEvents();
    if (StopSignalReceived() != 0) frm.bRunning = false;
    if (!frm.bRunning) break;
    const std::string& sFile = files[i - 1];
    const FilePlace place = PlaceOf(sFile, sRoot);
    const std::string sOutput = OutputOf(place, naming, coBlock.bSaveInOriginalFolder);
    ShowProgress(sFile, i, lCount);
    co.sOriginalFile = sFile;
    co.sSubFolder = place.sSubFolder;
    co.sTargetFile = sOutput;
    co.lErr = 0;
    const int32_t r = PerformSpecialProcessItem(frm, co, loadJobFile);
    if (co.lErr != 0) {
      coBlock.sErr = co.sErr;
      coBlock.lErr = co.lErr;
    }
    ShowElapsed(frm);
    NoteFileResult(frm, lJobNumber, co, r, ret);
    if (r == kRunGeneralFailure) {
      ++i;
      break;
    }
  }
  NoteStop(frm, i, lCount);
}

}  // namespace tessa
