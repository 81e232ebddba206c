// One item is converted in passes. A pass lists what goes to the control
// (the input, or temporary one-frame files cut from a TIFF) and converts the
// entries in order, stopping at the first failure. A failed first pass is
// undone (the output cut back to where it stood) and run once more, this
// time always cutting a TIFF into frames. Temporary frames go on every road.
#include "engine/run/conversion_driver.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/file_helpers.h"
#include "common/log_writer.h"
#include "common/page_list.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "common/vb_conversions.h"
#include "engine/result_codes.h"
#include "engine/run/output_snapshot.h"
#include "engine/run/process_tasks.h"
#include "engine/run/run_clock.h"
#include "engine/status_panels.h"
#include "engine/task/caret_records.h"
#include "pdfcontrol/tiff_messages.h"
#include "pdfcontrol/tiff_page_chain.h"
#include "platform/append_in_place.h"
#include "platform/output_lock.h"
#include "platform/sibling_file.h"
#include "platform/stop_signals.h"
#include "platform/user_interface.h"
#include "platform/work_file_journal.h"

namespace tessa {

namespace {

constexpr int32_t kTypeAuto = -1;
constexpr int32_t kTypeTiff = 18;
constexpr int32_t kTypeGif = 40;

std::string GeneralFailureText() {
  return Translate("PDF was not created - General failure. Check for read only attribute of output file.");
}

std::string InvalidFormatText() { return Translate("PDF was not created - Invalid file format"); }

// The general failure text with the system's reason after it, when known.
std::string GeneralFailureText(const std::string& sReason) {
  return sReason.empty() ? GeneralFailureText() : GeneralFailureText() + " (" + sReason + ")";
}

std::string InputFileSuffix(const std::string& sInput) { return " " + Translate("Input File") + ": " + sInput; }

// True when the file exists and no one may write it: the read-only
// attribute of other systems.
bool bReadOnlyFile(const std::string& sPath) {
  struct stat st {};
  return ::stat(sPath.c_str(), &st) == 0 && S_ISREG(st.st_mode) && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

// 0 when the item may write its output; else -1 with the reason in sText:
// the output is the input, or it is read-only. Asked while the output's
// lock is held.
int32_t RefusalOf(const clsConversionOptions& co, std::string& sText) {
  if (bSameFile(co.sOriginalFile, co.sTargetFile)) {
    sText = Translate("PDF was not created - The output file is the input file");
    return kRunGeneralFailure;
  }
  if (bReadOnlyFile(co.sTargetFile)) {
    sText = GeneralFailureText(Translate("the output file is read-only"));
    return kRunGeneralFailure;
  }
  return 0;
}

// A call that raises no Done must not pass for the previous call's success.
void PresetFailure(MainForm& frm) {
  frm.Quirepane_ErrorCode = kRunGeneralFailure;
  frm.Quirepane_ErrorString = GeneralFailureText();
}

void CallConvert(MainForm& frm) {
  PresetFailure(frm);
  frm.Quirepane.Done = [&frm](quirepane::CR_Result status) { Quirepane_Done(frm, static_cast<int32_t>(status)); };
  try {
    frm.Quirepane.Convert();
  } catch (...) {
    // The preset failure stands: the call raised no Done.
  }
}

// The pages the page list asks for, in order; lFrames is the input's frame
// count. bUsable is false for a typed list that names no page; a list of all
// pages of a file without frames is empty but not at fault.
std::vector<int32_t> PagesToCut(const std::string& sList, int32_t lFrames, bool& bUsable) {
  std::string pages = TrimBlanks(sList);
  bUsable = true;
  if (pages.empty() || pages.find('*') != std::string::npos) {
    std::vector<int32_t> all;
    for (int32_t p = 1; p <= lFrames; ++p) all.push_back(p);
    return all;
  }
  const int32_t status = ParsePageRangeString(pages, lFrames > 0 ? lFrames : 1);
  if (status & (kPageListNothingUsable | kPageListNotANumber)) bUsable = false;
  std::vector<int32_t> result;
  if (!bUsable || pages.empty()) {
    bUsable = false;
    return result;
  }
  for (const std::string& piece : SplitText(pages, ',')) {
    const double v = ValText(piece);
    result.push_back(v >= 1 && v <= 2147483647.0 ? static_cast<int32_t>(v) : 0);
  }
  return result;
}

// sRefusal: why the frame was refused before it was decoded, "" for none.
void SetLoadFrameError(clsConversionOptions& co, size_t k, const std::string& sRefusal = "") {
  if (co.lErr != 0) return;
  co.lErr = kRunFrameNotLoaded;
  co.sErr = Translate("Unable to load frame") + " " + std::to_string(k) +
            (sRefusal.empty() ? "" : " (" + sRefusal + ")") + ". " + Translate("Check Options Button");
}

// SplitFramesToTempFiles; bPageListFault tells that the failure came from a
// page list naming a page the input does not have (or none at all).
bool SplitFrames(MainForm& frm, clsConversionOptions& co, ItemFileList& files, bool bForce, bool& bPageListFault) {
  bPageListFault = false;
  AdvancedOptions options;
  ParseAdvancedOptions(co.sExtraParams, options);
  ImageFile& imaging = frm.ImageFile1;
  imaging.SetCompressionIndex(options.compression);
  imaging.SetHoldSource(false);

  const std::string sInput = co.sOriginalFile;
  const int32_t lFrames = imaging.FrameCount(sInput);
  bool bUsable = true;
  const std::vector<int32_t> pages = PagesToCut(options.pages, lFrames, bUsable);
  for (int32_t p : pages) {
    if (p < 1 || p > lFrames) bPageListFault = true;
  }
  if (!bUsable) bPageListFault = true;

  // Nothing needs frame files when the pages go in as they are, all of them
  // in order: the control takes the whole file in one conversion, whatever
  // its size (it writes out what it holds as its memory's share fills).
  const bool bWhole = lFrames > 1 && (TrimBlanks(options.pages).empty() || options.pages.find('*') != std::string::npos);
  if (!bForce && options.compression == 0 && !bPageListFault && (lFrames == 1 || bWhole)) {
    if (lFrames == 1) files.AddInput(sInput);
    else files.AddWhole(sInput, lFrames);
    imaging.SetHoldSource(false);
    return true;
  }

  bool ok = !pages.empty();
  if (!ok && bPageListFault) SetLoadFrameError(co, 0);
  UserInterface& ui = CurrentUserInterface();
  std::vector<uint8_t> frame;
  for (size_t k = 0; ok && k < pages.size(); ++k) {
    const int32_t p = pages[k];
    if (p < 1 || p > lFrames || !imaging.LoadFrame(sInput, p - 1, frame)) {
      SetLoadFrameError(co, k, imaging.LastRefusal());
      ok = false;
      break;
    }
    const std::string sFile = files.ReserveFrameFile(sInput, p);
    if (sFile.empty() || !SaveFrame(frm, co, kTypeTiff, sFile, frame)) {
      co.lErr = kRunFrameNotSaved;
      co.sErr = Translate("Unable to convert");
      ok = false;
      break;
    }
    files.AddFrame(sFile, p);
    ui.SetStatusPanel(kPanelElapsed, ElapsedSecondsText(frm.lTotalTimeStart));
    ui.SetStatusPanel(kPanelCurrentFile, sInput + " [" + std::to_string(p) + "]");
    ui.DoEvents();
  }
  imaging.SetHoldSource(false);
  return ok;
}

// How an item writes into its output, by the type it is converted as (a
// file whose content is TIFF is converted as TIFF whatever type the task
// names): the pages of a TIFF go in one by one, each added to what the
// pages before it wrote, so without the task's append the item's pages
// replace an existing output as a whole; other inputs replace it by
// themselves.
struct OutputWriting {
  bool bAppend = false;   // the control adds to the output
  bool bReplace = false;  // the item writes aside and replaces the output when good
};

OutputWriting OutputWritingOf(int32_t lType, const AdvancedOptions& options) {
  const bool bPageByPage = lType == kTypeTiff;
  return {options.append || bPageByPage, bPageByPage && !options.append};
}

// Notes in co what became of the input, for its log row.
void NoteInput(clsConversionOptions& co, const std::string& note) {
  co.sInputNote = note;
  co.sErr += " (" + note + ")";
}

// The after-processing of a good item: delete or move its input. A moved
// input never replaces a file in the move folder; when it takes a free name
// there, co says which. A delete or move that fails leaves the item good
// and co says why.
void AfterProcessing(MainForm& frm, clsConversionOptions& co, const std::string& sInput,
                     const std::string& sTarget) {
  if (frm.bDeleteOriginalFileAfterProcessing && !EqualsNoCase(sTarget, sInput) && !bDeleteFileWithRetry(sInput)) {
    const int why = errno;
    NoteInput(co, Translate("The input could not be deleted") + ": " + std::strerror(why));
    return;
  }
  if (!frm.bMoveOriginalFileAfterProcessing) return;
  // The stored folder is read as typed; the sub-folder is listed names.
  frm.sMoveFileToFolder = TypedPath(frm.sMoveFileToFolder);
  if (frm.sMoveFileToFolder.empty()) return;
  if (frm.sMoveFileToFolder.back() != '/') frm.sMoveFileToFolder += "/";
  std::string sFolder = frm.sMoveFileToFolder + co.sSubFolder;
  std::string sMovedTo;
  if (!bFileExists(sInput)) return;
  if (!bMoveFileToFolder(sInput, sFolder, &sMovedTo)) {
    const int why = errno;
    NoteInput(co, Translate("The input could not be moved to") + " " + sFolder + ": " + std::strerror(why));
    return;
  }
  if (std::filesystem::path(sMovedTo).filename() == std::filesystem::path(sInput).filename()) return;
  NoteInput(co, Translate("a file of that name was already in the move folder; the input was moved to") + ": " +
                    sMovedTo);
}

}  // namespace

std::string OutputFileKey(const std::string& sPath) {
  std::error_code ec;
  std::filesystem::path path = std::filesystem::absolute(sPath, ec);
  if (ec) path = sPath;
  const std::filesystem::path folder = std::filesystem::weakly_canonical(path.parent_path(), ec);
  return ((ec ? path.parent_path() : folder) / path.filename()).lexically_normal().string();
}

bool bSameFile(const std::string& a, const std::string& b) {
  struct stat sa {}, sb {};
  if (::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0)
    return sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
  return OutputFileKey(a) == OutputFileKey(b);
}

void Quirepane_Done(MainForm& frm, int32_t Status) {
  frm.Quirepane_ErrorCode = -Status;
  switch (Status) {
    case quirepane::CR_Success: frm.Quirepane_ErrorString = Translate("PDF was successfully created") + "."; break;
    case quirepane::CR_Failure_General:
      // A damaged PDF is no matter of attributes: the text says what it is.
      frm.Quirepane_ErrorString = frm.Quirepane.FailureReason() == quirepane::kDamagedPdfReason
                                      ? Translate("PDF was not created - The output file is a damaged PDF") + "."
                                      : GeneralFailureText(frm.Quirepane.FailureReason());
      break;
    case quirepane::CR_Failure_NoInput:
      frm.Quirepane_ErrorString =
          Translate("PDF was not created - No source specified or the source file was missing") + ".";
      break;
    case quirepane::CR_Failure_NoOutput: frm.Quirepane_ErrorString = Translate("PDF was not created - Output file was not specified") + "."; break;
    case quirepane::CR_Failure_InvalidImageType:
      // A file refused for what it holds says why; autodetecting would not help it.
      frm.Quirepane_ErrorString =
          frm.Quirepane.FailureReason().empty()
              ? InvalidFormatText() + ". " + Translate("Try 'Autodetect' for the Original File Format") + "."
              : InvalidFormatText() + " (" + frm.Quirepane.FailureReason() + ").";
      break;
    default: break;
  }
}

bool SaveFrame(MainForm& frm, clsConversionOptions& co, int32_t /*lType*/, const std::string& sFile,
               const std::vector<uint8_t>& abFrame) {
  if (frm.ImageFile1.SaveFrame(abFrame, sFile)) {
    co.lErr = 0;
    co.sErr.clear();
    return true;
  }
  co.lErr = kRunFrameNotSaved;
  co.sErr = Translate("Unable to convert");
  return false;
}

bool SplitFramesToTempFiles(MainForm& frm, clsConversionOptions& co, ItemFileList& files, bool bForce) {
  bool bPageListFault = false;
  return SplitFrames(frm, co, files, bForce, bPageListFault);
}

void PerformConversionItemQuirepane(MainForm& frm, clsConversionOptions& co, int32_t& ret,
                                    const std::string& sShownInput, int32_t lShownPage,
                                    const InputFileTimes* pTimes) {
  AdvancedOptions options;
  ParseAdvancedOptions(co.sExtraParams, options);
  const int32_t lKeptType = co.lOriginalFileType;
  const bool bAppend = OutputWritingOf(lKeptType, options).bAppend;

  const std::string sFolder = GetParentFolderAsNamed(co.sTargetFile);
  if (!sFolder.empty() && !bFolderExists(sFolder)) {
    MakeFolderPath(sFolder);
    if (!bFolderExists(sFolder)) {
      co.lErr = kRunOutputFolderMissing;
      co.sErr = Translate("Output folder does not exist");
      ret = kRunOutputFolderMissing;
      return;
    }
  }

  if (lKeptType == kTypeGif) co.lOriginalFileType = kTypeAuto;
  quirepane::Quirepane& control = frm.Quirepane;
  control.SetAppendToExisting(bAppend);
  control.SetFileType(co.lOriginalFileType);
  control.SetSourceFile(co.sOriginalFile);
  control.SetDestinationFile(co.sTargetFile);
  control.SetPDFTitle(options.title);
  control.SetPDFAuthor(options.author);
  control.SetPDFSubject(options.subject);
  control.SetPDFCreator(options.creator);
  control.SetPDFKeyword(options.keywords);
  CallConvert(frm);

  if (frm.Quirepane_ErrorCode != 0) {
    control.SetFileType(kTypeAuto);
    CurrentUserInterface().DoEvents();
    CallConvert(frm);
  }

  if (frm.Quirepane_ErrorCode == 0 && !bFileExists(co.sTargetFile)) {
    co.lErr = kRunInvalidFormat;
    co.sErr = InvalidFormatText() + ". " + Translate("Check for corrupt file.");
    frm.Quirepane_ErrorCode = kRunInvalidFormat;
  } else {
    co.lErr = frm.Quirepane_ErrorCode;
    co.sErr = frm.Quirepane_ErrorString;
  }

  const std::string& sInput = sShownInput.empty() ? co.sOriginalFile : sShownInput;
  if (frm.bRetainInputFileTimeStamp && frm.Quirepane_ErrorCode == 0) {
    InputFileTimes times;
    bool bHaveTimes = pTimes != nullptr;
    if (bHaveTimes) {
      times = *pTimes;
    } else {
      bHaveTimes = !bGetFileTimes(sInput, times.dCreated, times.dAccessed, times.dModified, true);
    }
    if (bHaveTimes) bSetFileTimes(co.sTargetFile, times.dCreated, times.dAccessed, times.dModified, true);
  }

  std::string sNamed = sInput;
  if (lShownPage != 0) sNamed += " [" + std::to_string(lShownPage) + "]";
  co.sErr += " " + Translate("Input File") + ": " + sNamed;
  co.lOriginalFileType = lKeptType;
  ret = frm.Quirepane_ErrorCode;
}

int32_t PerformConversionItem(MainForm& frm, clsConversionOptions& co) {
  UserInterface& ui = CurrentUserInterface();
  const std::string sInput = co.sOriginalFile;
  const int32_t lInputType = co.lOriginalFileType;
  const std::string sTarget = co.sTargetFile;
  // An output that is a symbolic link stays one: the file it names is what
  // is locked, set aside, replaced and undone.
  const std::string sWritten = WrittenPath(sTarget);
  if (sWritten.empty()) {
    // A loop of links lands nowhere: it is refused and stays as it is.
    co.lErr = kRunGeneralFailure;
    co.sErr = GeneralFailureText(std::strerror(errno)) + InputFileSuffix(sInput);
    return co.lErr;
  }

  // Each item starts clean, so no text of an earlier file can stand for it.
  co.lErr = 0;
  co.sErr.clear();
  co.sInputNote.clear();
  // The input's own times, before reading it moves its access time.
  InputFileTimes inputTimes;
  const bool bHaveTimes = frm.bRetainInputFileTimeStamp &&
                          !bGetFileTimes(sInput, inputTimes.dCreated, inputTimes.dAccessed, inputTimes.dModified, true);
  // Work files of killed runs go; this item's own are forgotten once it is
  // through and they are gone (the guard goes last).
  RemoveAbandonedWorkFiles();
  struct ForgetWorkFiles {
    ~ForgetWorkFiles() { ClearWorkFileJournal(); }
  } forgetWorkFiles;
  // A TIFF is cut into its pages whatever its name ends with.
  if (co.lOriginalFileType == kTypeAuto || quirepane::bIsTiffFile(sInput)) co.lOriginalFileType = DetectInputType(sInput);

  // The output is read, changed and written under its lock, so that runs
  // writing into the same file at once take turns and lose no page. The
  // lock is named after the output's folder, so the folder is made first.
  const std::string sTargetFolder = GetParentFolderAsNamed(sWritten);
  if (!sTargetFolder.empty() && !bFolderExists(sTargetFolder)) MakeFolderPath(sTargetFolder);
  OutputLock lock(sWritten, [] { return StopSignalReceived() != 0; });
  if (!lock.held()) {
    // Without the lock another run may be writing the output right now.
    co.lErr = kRunGeneralFailure;
    co.sErr = lock.error() == 0 ? Translate("PDF was not created - The run was stopped")
                                : Translate("PDF was not created - The output file cannot be locked") + " (" +
                                      std::strerror(lock.error()) + ")";
    co.sErr += InputFileSuffix(sInput);
    co.lOriginalFileType = lInputType;
    return co.lErr;
  }
  // An append a killed run left half-written is cut away before anything
  // reads the output.
  MendTornAppend(sWritten);
  if (const int32_t refusal = RefusalOf(co, co.sErr); refusal != 0) {
    co.lErr = refusal;
    co.sErr += InputFileSuffix(sInput);
    co.lOriginalFileType = lInputType;
    return refusal;
  }
  if (co.lOriginalFileType == kTypeTiff && !quirepane::bTiffPageChainIntact(sInput)) {
    // A TIFF cut short must not pass for a shorter document.
    co.lErr = kRunNothingConverted;
    co.sErr = InvalidFormatText() + ". " + Translate("Try 'Autodetect' for the Original File Format");
    co.lOriginalFileType = lInputType;
    quirepane::TakeTiffMessages();
    return co.lErr;
  }

  AdvancedOptions options;
  ParseAdvancedOptions(co.sExtraParams, options);
  std::string sAside;
  if (OutputWritingOf(co.lOriginalFileType, options).bReplace && bFileExists(sWritten)) {
    sAside = FreeSiblingName(sWritten, ".pdf");
    if (!sAside.empty()) {
      NoteWorkFile(sAside);
      co.sTargetFile = sAside;
    }
  }
  OutputSnapshot before(sAside.empty() ? sWritten : sAside);

  ItemFileList files;
  bool bRetry = false;
  bool bNothingConverted = false;
  int32_t lLast = 0;
  for (;;) {
    files.Clear();
    if (co.lOriginalFileType == kTypeTiff) {
      bool bPageListFault = false;
      if (!SplitFrames(frm, co, files, bRetry, bPageListFault)) {
        files.Clear();
        if (bPageListFault || frm.ImageFile1.FrameCount(sInput) != 1) {
          bNothingConverted = true;
          break;
        }
        files.AddInput(sInput);
      }
    } else {
      files.AddInput(sInput);
    }

    lLast = 0;
    if (files.Count() > 1) before.Hold();
    bool bWhole = false;
    int32_t lPagesDone = 0;
    for (size_t i = 0; i < files.Count(); ++i) {
      const ItemFileList::Entry& entry = files[i];
      co.sOriginalFile = entry.path;
      // A whole file of several pages is named by its last page, as its
      // last frame would have been.
      PerformConversionItemQuirepane(frm, co, lLast, entry.bTemporary ? sInput : std::string(), entry.lPage,
                                     bHaveTimes ? &inputTimes : nullptr);
      bWhole = bWhole || (!entry.bTemporary && entry.lPage > 0);
      lPagesDone += entry.bTemporary || entry.lPage == 0 ? 1 : entry.lPage;
      ui.SetStatusPanel(kPanelElapsed, ElapsedSecondsText(frm.lTotalTimeStart));
      ui.SetStatusPanel(kPanelCurrentFile, sTarget + " [" + std::to_string(lPagesDone) + "]");
      ui.DoEvents();
      if (lLast != 0) break;
    }
    co.sOriginalFile = sInput;
    if (lLast != 0 && !bRetry) {
      // An item is all or nothing: the retry starts from the output as it
      // stood before the item. A whole file that failed is cut into frames
      // as if it had been from the start, so the frames say what failed.
      before.Restore();
      if (bWhole) {
        co.lErr = 0;
        co.sErr.clear();
      }
      bRetry = true;
      continue;
    }
    break;
  }

  int32_t result = lLast;
  if (bNothingConverted) {
    if (co.lErr == 0) {
      co.lErr = kRunNothingConverted;
      co.sErr = InvalidFormatText() + ". " + Translate("Try 'Autodetect' for the Original File Format");
    }
    result = co.lErr;
  }

  if (result == 0 && !sAside.empty()) {
    std::error_code ec;
    std::filesystem::rename(sAside, sWritten, ec);
    if (ec) {
      result = co.lErr = kRunGeneralFailure;
      co.sErr = GeneralFailureText(ec.message()) + InputFileSuffix(sInput);
    }
  }
  // What the TIFF reader said goes to a verbose log, never raw onto stderr.
  const std::string tiffMessages = quirepane::TakeTiffMessages();
  if (co.bVerboseLog && !tiffMessages.empty() && !co.sLogFile.empty())
    WriteToLogFile(TrimBlanks(tiffMessages), co.sLogFile, false);
  if (result == 0) {
    AfterProcessing(frm, co, sInput, sTarget);
  } else {
    before.Restore();
  }

  files.Clear();
  co.sOriginalFile = sInput;
  co.lOriginalFileType = lInputType;
  co.sTargetFile = sTarget;
  return result;
}

}  // namespace tessa
