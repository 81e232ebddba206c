// Validation runs in two halves, special-process checks and image-conversion
// checks, followed by one writeability probe of the folder that would get
// the output. The reporters below turn the verdict into words: boxes with
// remedies for the window, one log text for the command line.
#include "engine/task/validation.h"

#include <set>

#include "common/file_helpers.h"
#include "common/log_writer.h"
#include "common/path_macros.h"
#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/task/caret_records.h"
#include "engine/task/file_types.h"
#include "engine/item_editor_fields.h"
#include "platform/user_interface.h"

namespace tessa {

namespace {

// Line breaks inside a box text and inside a log text.
constexpr const char* kBoxBreak = "\n";
constexpr const char* kLogBreak = "\r\n";

bool Contains(const std::string& s, char c) { return s.find(c) != std::string::npos; }

// The name after the last path separator.
std::string NamePart(const std::string& path) {
  const auto pos = path.find_last_of("/\\");
  return pos == std::string::npos ? path : path.substr(pos + 1);
}

// The text before the first "*".
std::string TextBeforeStar(const std::string& s) { return s.substr(0, s.find('*')); }

std::string ReplaceAll(std::string s, const std::string& from, const std::string& to) {
  for (size_t pos = s.find(from); pos != std::string::npos; pos = s.find(from, pos + to.size())) {
    s.replace(pos, from.size(), to);
  }
  return s;
}

// path with its macros expanded and its blanks trimmed.
std::string Expanded(std::string path) { return ExpandPathMacros(path); }

// Expanded and written with "/".
std::string NormalisedPath(const std::string& path) { return ToForwardSlashes(Expanded(path)); }

void ValidateSpecialProcessItem(clsConversionOptions& t) {
  if (!t.sCLBatchJobFile.empty()) {
    if (!bFileExists(t.sCLBatchJobFile)) t.lErr = kJobFileMissing;
    return;
  }
  if (t.lSpecialProcess == kProcessStartProgram && Contains(t.sOriginalFile, '*')) {
    t.lErr = kSpecialProcessWildcard;
    return;
  }
  if (t.bShellExtenderOptionsChange) {
    t.lErr = t.lSpecialProcess == kProcessStartProgram ? kValidationOk : kInvalidSpecialProcess;
    return;
  }
  t.lTargetFileType = t.lOriginalFileType;
  if (t.lSpecialProcess != kProcessStartProgram) t.lErr = kInvalidSpecialProcess;
}

// Sets the output field of the editor panel when there is one.
void AppendToOutputField(ItemEditorFields* panel, const std::string& suffix) {
  if (panel) panel->SetOutputText(panel->OutputText() + suffix);
}

// The folder an output file lies in; an output that ends in a slash is
// that folder ("od/" is completed to a name inside "od" later).
std::string OutputFolderOf(const std::string& sTarget) {
  if (!sTarget.empty() && IsPathSeparator(sTarget.back())) {
    std::string folder = ToForwardSlashes(sTarget);
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder;
  }
  return GetParentFolder(sTarget);
}

// The checks of an input and its output up to the output type; false when
// they stopped with a code.
bool CheckInputAndOutput(clsConversionOptions& t, bool bAppend, ItemEditorFields* panel) {
  if (bOutputFolderHasWildcard(t.sTargetFile)) {
    t.lErr = kWildcardInOutputFolder;
    return false;
  }
  if (!bHasWildcards(t.sOriginalFile)) {
    t.bDoSubfolders = false;
    t.bSaveInOriginalFolder = false;
    if (!bFileExists(t.sOriginalFile)) {
      t.lErr = kInputFileMissing;
      return false;
    }
    if (Contains(t.sTargetFile, '*')) {
      t.lErr = kWildcardOutputForOneFile;
      return false;
    }
    const std::string folder = OutputFolderOf(t.sTargetFile);
    if (!bFolderExists(folder)) {
      MakeFolderPath(folder);
      if (!bFolderExists(folder)) {
        t.lErr = kOutputFolderMissing;
        return false;
      }
    }
    return true;
  }

  if (!bFolderExists(GetParentFolder(t.sOriginalFile))) {
    t.lErr = kInputFolderMissing;
    return false;
  }
  if (Contains(t.sTargetFile, '*')) {
    if (bAppend) {
      t.sTargetFile = ReplaceAll(t.sTargetFile, "*", "Append");
      if (panel) panel->SetOutputText(t.sTargetFile);
    } else {
      const std::string folder = TextBeforeStar(t.sTargetFile);
      if (!bFolderExists(folder)) {
        MakeFolderPath(folder);
        if (!bFolderExists(folder)) {
          t.lErr = kMaskOutputFolderMissing;
          return false;
        }
      }
    }
  } else if (!bAppend) {
    if (!bFolderExists(t.sTargetFile) && !bFolderExists(t.sTargetFile + "/")) {
      t.lErr = kManyInputsOneOutput;
      return false;
    }
  } else if (t.sTargetFile.empty()) {
    // Appending every input to a PDF that has no name at all.
    t.lErr = kOutputFolderMissing;
    return false;
  }
  return true;
}

// Gives an output without an extension its PDF name.
void CompleteOutputName(clsConversionOptions& t, bool bAppend, ItemEditorFields* panel) {
  const std::string before = t.sTargetFile;
  const std::string name = NamePart(before);
  const bool bMask = bHasWildcards(t.sOriginalFile);
  if (!Contains(name, '.')) {
    std::string suffix;
    if (bHasWildcards(name)) {
      suffix = ".pdf";  // "out/*" names files, not a folder "*"
    } else if (!before.empty() && IsPathSeparator(before.back())) {
      suffix = (bMask && !bAppend) ? "*.pdf" : "pdf.pdf";
    } else {
      const bool bIsFolder = !before.empty() && bFolderExists(before + "/");
      if (bMask) {
        suffix = bAppend ? (bIsFolder ? "/PDF.pdf" : ".pdf") : "/*.pdf";
      } else {
        suffix = bIsFolder ? "/PDF.pdf" : ".pdf";
      }
    }
    t.sTargetFile += suffix;
    AppendToOutputField(panel, suffix);
  }
  const auto dot = name.rfind('.');
  if (dot != std::string::npos && dot > 0 && dot + 1 == name.size()) {
    t.sTargetFile += "pdf";
    AppendToOutputField(panel, "pdf");
  }
}

void ValidateImageConversionItem(MainForm& form, clsConversionOptions& t) {
  AdvancedOptions pdf;
  ParseAdvancedOptions(t.sExtraParams, pdf);
  const bool bAppend = pdf.append;
  if (t.bShellExtenderOptionsChange) {
    t.lErr = kValidationOk;
    return;
  }
  ItemEditorFields* panel = form.View().EditorFields();
  if (panel) {
    panel->SetOutputText(TrimBlanks(panel->OutputText()));
    panel->SetInputText(TrimBlanks(panel->InputText()));
  }
  t.sOriginalFile = TrimBlanks(t.sOriginalFile);
  t.sTargetFile = TrimBlanks(t.sTargetFile);

  if (!t.sCLBatchJobFile.empty()) {
    if (!bFileExists(t.sCLBatchJobFile)) t.lErr = kJobFileMissing;
    return;
  }
  if (!CheckInputAndOutput(t, bAppend, panel)) return;
  if (GetFileTypeExtension(t.lTargetFileType, false, t.lConversionMethod).empty()) {
    t.lErr = kInvalidOutputType;
    return;
  }
  if (TrimBlanks(t.sExtraParams).empty()) {
    t.lErr = kNoPdfOptions;
    return;
  }
  if (!form.frmTypeMatchNotification.bDontShowFileMismatchAgain && t.lOriginalFileType != kFileTypeAuto &&
      !bCommandLineMode) {
    const std::string expected = GetFileTypeExtension(t.lOriginalFileType, false, t.lConversionMethod);
    const std::string name = NamePart(t.sOriginalFile);
    const auto dot = name.rfind('.');
    std::string actual = expected;
    if (dot != std::string::npos) {
      actual = name.substr(dot + 1);
      actual.erase(actual.find_last_not_of(' ') + 1);
    }
    if (!bFileExtensionFitsType(actual, expected)) t.lErr = kInputTypeMismatch;
  }
  CompleteOutputName(t, bAppend, panel);
}

// The general box: "Unable to add/update: ", two breaks, the detail.
void ShowGeneralBox(const std::string& detail) {
  CurrentUserInterface().MsgBox(Translate("Unable to add/update: ") + kBoxBreak + kBoxBreak + detail,
                                vbInformation, Translate("Error"));
}

int ErrorBox(const std::string& text, int buttons = vbOKOnly) {
  return CurrentUserInterface().MsgBox(text, buttons + vbInformation, Translate("Error"));
}

std::string Lines(std::initializer_list<std::string> parts, const char* brk) {
  std::string out;
  bool bFirst = true;
  for (const auto& part : parts) {
    if (!bFirst) out += brk;
    out += part;
    bFirst = false;
  }
  return out;
}

void FocusInput(ItemEditorFields* panel) {
  if (panel) panel->FocusInput();
}
void FocusOutput(ItemEditorFields* panel) {
  if (panel) panel->FocusOutput();
}
void FocusOutputIfVisible(ItemEditorFields* panel) {
  if (panel && panel->OutputVisible()) panel->FocusOutput();
}
void FocusInputIfVisible(ItemEditorFields* panel) {
  if (panel && panel->InputVisible()) panel->FocusInput();
}

// Asks to create a missing output folder; on Yes creates it.
bool OfferToCreateFolder(const std::string& folder, bool bAskTwice, ItemEditorFields* panel) {
  if (TrimBlanks(folder).empty()) {
    ErrorBox(Translate("Output file not specified. Use a wildcard to specify whole folder."));
    FocusOutput(panel);
    return false;
  }
  std::string text = Translate("Output Folder") + kBoxBreak + kBoxBreak + folder + kBoxBreak + kBoxBreak +
                     Translate("does not exist. Create it?");
  if (bAskTwice) text += std::string(kBoxBreak) + kBoxBreak + Translate("Create it?");
  if (ErrorBox(text, vbYesNo) == vbYes) {
    // The task may still hold the user's macros; the folder is made where they lead.
    MakeFolderPath(NormalisedPath(folder));
    return true;
  }
  if (bAskTwice) {
    FocusOutputIfVisible(panel);
  } else {
    FocusOutput(panel);
  }
  return false;
}

// Offers the recommended folder for an output that cannot be written there.
bool OfferRecommendedFolder(clsConversionOptions& t, ItemEditorFields* panel) {
  std::string recommended;
  std::string message;
  const int32_t status = CheckOutputFolder(t.sTargetFile, recommended, message);
  const std::string text = message + kBoxBreak + kBoxBreak + Expanded(t.sTargetFile) + kBoxBreak + kBoxBreak;
  bool accepted = false;
  if (status == 5) {
    CurrentUserInterface().MsgBox(text, vbCritical, Translate("Error"));
  } else {
    const std::string ask = text + Translate("Do you want to use the recommended output folder path below instead") +
                            ":" + kBoxBreak + kBoxBreak + recommended;
    if (CurrentUserInterface().MsgBox(ask, vbOKCancel + vbExclamation, Translate("Error")) == vbOK) {
      t.sTargetFile = recommended;
      if (panel) panel->SetOutputText(recommended);
      accepted = true;
    }
  }
  FocusOutput(panel);
  return accepted;
}

bool ShowItemError(MainForm& form, clsConversionOptions& t, std::set<int32_t>& offered) {
  ItemEditorFields* panel = form.View().EditorFields();
  const int32_t code = t.lErr;
  bool bRemedyTaken = false;
  switch (code) {
    case kInputFolderMissing: {
      const std::string text = Translate("Input Folder") + kBoxBreak + kBoxBreak + GetParentFolderUNC(t.sOriginalFile) +
                               kBoxBreak + kBoxBreak + Translate("does not exist.");
      ErrorBox(text);
      FocusInput(panel);
      ShowGeneralBox(text);
      return false;
    }
    case kMaskOutputFolderMissing:
      bRemedyTaken = OfferToCreateFolder(TextBeforeStar(t.sTargetFile), false, panel);
      break;
    case kInputFileMissing:
      FocusInput(panel);
      if (t.sOriginalFile.empty()) {
        ErrorBox(Translate("Unable to add/update: ") + kBoxBreak + kBoxBreak +
                 Translate("Input File has not been specified."));
        return false;
      }
      // The user may add a task whose input is still to come.
      return ErrorBox(Translate("Unable to add/update: ") + kBoxBreak + kBoxBreak + Translate("Input File") + kBoxBreak +
                          kBoxBreak + t.sOriginalFile + kBoxBreak + kBoxBreak + Translate("does not exist.") +
                          kBoxBreak + kBoxBreak + Translate("Add anyway?"),
                      vbYesNo) == vbYes;
    case kWildcardOutputForOneFile:
      ErrorBox(Translate("Output File") + kBoxBreak + kBoxBreak + t.sTargetFile + kBoxBreak + kBoxBreak +
               Translate("cannot have a wildcard (*) in it unless the Input file does."));
      FocusOutputIfVisible(panel);
      return false;
    case kWildcardInOutputFolder:
      ErrorBox(Translate("Output File") + kBoxBreak + kBoxBreak + t.sTargetFile + kBoxBreak + kBoxBreak +
               Translate("can have a wildcard (* or ?) only in its file name, not in its folder."));
      FocusOutputIfVisible(panel);
      return false;
    case kOutputFolderMissing:
      bRemedyTaken = OfferToCreateFolder(GetParentFolderUNC(t.sTargetFile), true, panel);
      break;
    case kInvalidOutputType:
      ErrorBox(Translate("Invalid Output File type specified"));
      return false;
    case kInputTypeMismatch: {
      TypeMismatchNotice& notice = form.frmTypeMatchNotification;
      if (notice.bDontShowFileMismatchAgain) return false;
      if (!form.View().ShowTypeMismatchDialog(notice)) {
        notice.bContinueWithMismatchedTypes =
            CurrentUserInterface().MsgBox(kTypeMismatchText, vbYesNo + vbQuestion, kTypeMismatchCaption) == vbYes;
      }
      if (notice.bContinueWithMismatchedTypes) {
        t.lErr = kValidationOk;
      } else {
        FocusInputIfVisible(panel);
      }
      return false;
    }
    case kManyInputsOneOutput:
      if (ErrorBox(Translate("You are attempting to convert numerous 'Input Files' to a single 'Output File'.") +
                       kBoxBreak + Translate("Do you want to append to a single 'Output File'?"),
                   vbYesNo) == vbYes) {
        CurrentUserInterface().MsgBox(
            Translate("To do so please click on the 'Advanced Options' button, then enable 'Append'"), vbOKOnly, "");
      } else {
        CurrentUserInterface().MsgBox(
            Translate("Please change the 'Output File' to have a wildcard (*). For example ") + "\"C:\\output\\*.pdf\"",
            vbOKOnly, "");
        FocusOutput(panel);
      }
      return false;
    case kInvalidSpecialProcess:
      ErrorBox(Translate("Invalid Special Process Identifier specified"));
      return false;
    case kSpecialProcessWildcard:
      ErrorBox(Translate("Invalid input file format/type for the Special Process specified."));
      return false;
    case kOutputNotWriteable:
      bRemedyTaken = OfferRecommendedFolder(t, panel);
      break;
    default:
      ShowGeneralBox("");
      return false;
  }
  if (!bRemedyTaken) return false;

  // A remedy was taken: the task goes on only when it now passes.
  offered.insert(code);
  ValidateConversionItem(form, t);
  if (t.lErr == kValidationOk) return true;
  if (offered.count(t.lErr)) {
    ShowGeneralBox(CommandLineItemErrorText(t));
    return false;
  }
  return ShowItemError(form, t, offered);
}

}  // namespace

bool bOutputFolderHasWildcard(const std::string& sTarget) { return bHasWildcards(OutputFolderOf(sTarget)); }

void ValidateConversionItem(MainForm& form, clsConversionOptions& task) {
  const std::string keptInput = task.sOriginalFile;
  const std::string keptOutput = task.sTargetFile;
  task.lErr = kValidationOk;
  task.sOriginalFile = NormalisedPath(task.sOriginalFile);
  task.sTargetFile = NormalisedPath(task.sTargetFile);

  const bool bSpecial = Contains(task.sActionToDo, 'S');
  if (bSpecial) {
    ValidateSpecialProcessItem(task);
  } else {
    ValidateImageConversionItem(form, task);
  }
  // A process-60 task writes nothing itself, whatever its action: a "/0 60"
  // task keeps action "C" and opens the window instead of running.
  if (task.lSpecialProcess != kProcessStartProgram) {
    const std::string& probe = task.bSaveInOriginalFolder ? task.sOriginalFile : task.sTargetFile;
    if (!TrimBlanks(probe).empty() && !bFolderIsWriteable(probe)) task.lErr = kOutputNotWriteable;
  }
  if (TrimBlanks(task.sTargetFile) == NormalisedPath(keptOutput)) task.sTargetFile = keptOutput;
  if (TrimBlanks(task.sOriginalFile) == NormalisedPath(keptInput)) task.sOriginalFile = keptInput;
}

bool ShowConversionItemError(MainForm& form, clsConversionOptions& task) {
  std::set<int32_t> offered;
  return ShowItemError(form, task, offered);
}

std::string CommandLineItemErrorText(const clsConversionOptions& t) {
  // Paths stay on their own line of the text, whatever line breaks they hold.
  switch (t.lErr) {
    case kValidationOk:
      return "";
    case kInputFolderMissing:
      return Lines(
          {Translate("Input Folder"), LogSafeLine(GetParentFolder(t.sOriginalFile)), Translate("does not exist.")},
          kLogBreak);
    case kMaskOutputFolderMissing:
      return Lines(
          {Translate("Output Folder"), LogSafeLine(TextBeforeStar(t.sTargetFile)), Translate("does not exist.")},
          kLogBreak);
    case kInputFileMissing:
      return Lines({Translate("Input File"), LogSafeLine(t.sOriginalFile), Translate("does not exist.")}, kLogBreak);
    case kWildcardOutputForOneFile:
      return Lines({Translate("Output File"), LogSafeLine(t.sTargetFile),
                    Translate("cannot have a wildcard (*) in it unless the Input file does.")},
                   kLogBreak);
    case kWildcardInOutputFolder:
      return Lines({Translate("Output File"), LogSafeLine(t.sTargetFile),
                    Translate("can have a wildcard (* or ?) only in its file name, not in its folder.")},
                   kLogBreak);
    case kOutputFolderMissing:
      return Lines({Translate("Output Folder"), LogSafeLine(OutputFolderOf(t.sTargetFile)),
                    Translate("does not exist."), Translate("Create it?")},
                   kLogBreak);
    case kInvalidOutputType:
      return Translate("Invalid Output File type specified (/C# switch).");
    case kJobFileMissing:
      return Translate("Conversion Job File (*.ZOL) specified in the command line (/J) does not exist.");
    case kNoPdfOptions:
      return Translate("The advanced PDF options of the task are missing.");
    case kInputTypeMismatch:
      return Lines(
          {Translate("'Input File Format' and 'Input File' extension do not match."), LogSafeLine(t.sOriginalFile)},
          kLogBreak);
    case kManyInputsOneOutput:
      return Lines({Translate("You are attempting to convert numerous 'Input Files' to a single 'Output File'."),
                    LogSafeLine(t.sTargetFile),
                    Translate("Give the 'Output File' a wildcard (*), name an existing folder, or append (/+).")},
                   kLogBreak);
    case kInvalidSpecialProcess:
      return Translate("Invalid Special Process Identifier specified");
    case kSpecialProcessWildcard:
      return Translate("Invalid input file format/type for the Special Process specified.");
    case kOutputNotWriteable: {
      std::string recommended;
      std::string message;
      CheckOutputFolder(t.sTargetFile, recommended, message);
      if (message.empty()) message = Translate("Output folder is not writeable.");
      return Translate("Output Folder") + ": " + message + kLogBreak + LogSafeLine(Expanded(t.sTargetFile));
    }
    default:
      return Translate("The task is not valid. Error code: ") + std::to_string(t.lErr);
  }
}

void LogCommandLineItemError(clsConversionOptions& task) {
  task.sErr = CommandLineItemErrorText(task);
  WriteToLogFile(task.sErr, task.sLogFile, task.bVerbose);
}

}  // namespace tessa
