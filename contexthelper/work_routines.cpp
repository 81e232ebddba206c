#include "contexthelper/work_routines.h"

// The routines run on the helper's one thread: each status update yields to
// the view, so its Cancel button is seen between files; a file that has
// started always finishes. Outputs are named before anything is touched; an
// existing output is moved aside right before the file that replaces it and
// removed only once that file stands, so a failed conversion keeps it.

#include <cmath>
#include <optional>
#include <utility>

#include "common/file_helpers.h"
#include "contexthelper/helper_paths.h"
#include "contexthelper/helper_texts.h"
#include "contexthelper/work_list.h"

namespace tessa::ferrowick {

WorkRoutines::WorkRoutines(ProgressView& view, AutomationSession& automation, UserInterface& ui, OpenResult open)
    : view_(view), automation_(automation), ui_(ui), open_(std::move(open)) {}

bool WorkRoutines::Run(const RunRequest& request) {
  errors_.clear();
  done_ = count_ = converted_ = 0;
  anyFailed_ = false;
  switch (request.kind) {
    case RunKind::kConvert:
      DoWorkConvert(request);
      break;
    case RunKind::kAppend:
      view_.SetTitle("Appending Images to PDF");
      DoWorkAppend(request);
      break;
    case RunKind::kConvertAndAppend:
      view_.SetTitle("Converting and Appending to Vemo.PDF");
      DoWorkConvertAndAppend(request);
      break;
  }
  automation_.Release();
  if (!errors_.empty()) view_.ShowErrorLayout();
  return errors_.empty();
}

void WorkRoutines::DoWorkConvert(RunRequest r) {
  const std::vector<std::string> inputs = BuildWorkList(r.files, r.doSubfolders);
  if (inputs.empty()) return NoFilesChosen();
  const std::string root = GetFolderOf(r.lowestBranch);
  const ChosenFiles chosen(inputs);
  StartProgress(static_cast<int>(inputs.size()));
  bool noToAll = false;  // answered No: every existing output stays
  bool created = false;
  std::map<std::string, std::string> madeFrom;  // output -> the input converted into it
  for (size_t i = 0; i < inputs.size(); ++i) {
    const std::string& input = inputs[i];
    FileStarted(input);
    // An input that cannot be passed on gets no output name and no folder.
    std::string skip = CommandRefusal(input);
    const std::string output = skip.empty() ? PerFileOutputName(input, root, r.saveToOriginalFolder) : "";
    const bool exists = !output.empty() && bPathExists(output);
    if (skip.empty()) skip = SkipReason(input, output);
    if (skip.empty() && madeFrom.count(output))
      skip = "Skipped: " + madeFrom[output] + " was converted to " + output + " in this run already.";
    if (skip.empty() && exists && chosen.bContains(output))
      skip = "Skipped: its output " + output + " is one of the chosen files.";
    bool convert = skip.empty();
    if (!skip.empty()) {
      AddErrorLine(FileErrorLine(input, skip));
    } else if (noToAll) {
      convert = !exists;
    } else if (!r.overwrite && exists) {
      const std::string prompt = inputs.size() > 1
                                     ? "One or more files already exists. Would you like to overwrite them?"
                                     : "File " + output + " already exists. Would you like to overwrite it?";
      if (ui_.MsgBox(prompt, vbYesNo, kOverwriteTitle) == vbYes) {
        r.overwrite = true;
      } else {
        noToAll = true;
        convert = false;
      }
    }
    if (convert) {
      if (!created) {
        if (const int failure = automation_.Create()) return AutomationFailed(failure);
        created = true;
      }
      std::optional<OldOutput> old;
      if (exists) old.emplace(output);
      if (old && !old->Error().empty()) {
        AddErrorLine(FileErrorLine(input, "Cannot replace " + output + ": " + old->Error()));
      } else {
        int32_t result = 0;
        if (const int failure = automation_.DoCommandLine(BuildHelperCommand(input, output, false), result))
          return AutomationFailed(failure);
        if (result != 0) {
          AddErrorLine(FileErrorLine(input, ResultText(WorkRoutine::kConvert, result)));
        } else {
          if (old) old->Drop();
          madeFrom[output] = input;
          if (r.openFile && i < kMaxOpenedOutputs) open_(output);
        }
      }
    }
    FileFinished();
    if (view_.CancelRequested()) break;
  }
}

void WorkRoutines::DoWorkAppend(const RunRequest& r) {
  const std::vector<std::string> inputs = BuildWorkList(r.files, r.doSubfolders);
  if (inputs.empty()) return NoFilesChosen();
  const std::string& output = r.outFile;
  if (bOutputRefused(output)) return;
  if (const int failure = automation_.Create()) return AutomationFailed(failure);
  if (!AppendAll(inputs, output, WorkRoutine::kAppend)) return;
  FinishSinglePdf(output, r.openFile);
}

void WorkRoutines::DoWorkConvertAndAppend(const RunRequest& r) {
  // The inputs are known before the old output is touched: an empty choice
  // leaves an existing PDF alone.
  const std::vector<std::string> inputs = BuildWorkList(r.files, r.doSubfolders);
  if (inputs.empty()) return NoFilesChosen();
  std::string folder = GetFolderOf(r.lowestBranch);
  if (folder.empty() && !r.lowestBranch.empty()) {
    folder = r.lowestBranch;
    if (folder.back() != '/') folder += '/';
  }
  if (folder.empty()) return AddErrorLine(FileErrorLine(kSingleOutputName, "No folder was chosen to write it in."));
  const std::string output = folder + kSingleOutputName;
  if (bOutputRefused(output)) return;
  if (!bIsFolder(folder)) MakeDirTree(folder);
  // A chosen file is never replaced: the inputs go after its pages, and it
  // is skipped as an input of its own.
  std::optional<OldOutput> old;
  if (bPathExists(output) && !ChosenFiles(inputs).bContains(output)) {
    int choice = vbYes;
    if (!r.overwrite)
      choice = ui_.MsgBox("File " + output + " already exists.\nClick YES to overwrite, NO to append or CANCEL to abort.",
                          vbYesNoCancel, kOverwriteTitle);
    if (choice == vbCancel) return FinishSinglePdf(output, r.openFile);
    if (choice == vbYes) {
      old.emplace(output);
      if (!old->Error().empty()) return AddErrorLine(FileErrorLine(output, old->Error()));
    }
  }
  if (const int failure = automation_.Create()) return AutomationFailed(failure);
  const bool served = AppendAll(inputs, output, WorkRoutine::kConvertAndAppend);
  // The old PDF goes once one input is in the new one; else it comes back.
  if (old && converted_ > 0) old->Drop();
  old.reset();
  if (served) FinishSinglePdf(output, r.openFile);
}

bool WorkRoutines::AppendAll(const std::vector<std::string>& inputs, const std::string& output,
                             WorkRoutine routine) {
  StartProgress(static_cast<int>(inputs.size()));
  view_.SetTitle("Converting and Appending");
  view_.Yield();
  for (const std::string& input : inputs) {
    FileStarted(input);
    if (const std::string skip = SkipReason(input, output); !skip.empty()) {
      AddErrorLine(FileErrorLine(input, skip));
      anyFailed_ = true;
    } else {
      int32_t result = 0;
      if (const int failure = automation_.DoCommandLine(BuildHelperCommand(input, output, true), result)) {
        AutomationFailed(failure);
        return false;
      }
      if (result != 0) {
        AddErrorLine(FileErrorLine(input, ResultText(routine, result)));
        anyFailed_ = true;
      } else {
        ++converted_;
      }
    }
    FileFinished();
    if (view_.CancelRequested()) break;
  }
  return true;
}

void WorkRoutines::FinishSinglePdf(const std::string& output, bool open) {
  const int full = count_ > 0 ? count_ : 1;
  view_.SetProgress(full, full);
  view_.SetPercent("100%");
  view_.Yield();
  if (!anyFailed_ && open) open_(output);
}

std::string WorkRoutines::SkipReason(const std::string& input, const std::string& output) {
  for (const std::string& path : {input, output})
    if (std::string refusal = CommandRefusal(path); !refusal.empty()) return refusal;
  if (bSameFile(input, output)) return "Skipped: the file would be its own output.";
  return "";
}

bool WorkRoutines::bOutputRefused(const std::string& output) {
  const std::string refusal = CommandRefusal(output);
  if (!refusal.empty()) AddErrorLine(FileErrorLine(output, refusal));
  return !refusal.empty();
}

void WorkRoutines::StartProgress(int count) {
  count_ = count;
  done_ = 0;
  view_.SetProgress(0, count);
  view_.SetPercent("0%");
  view_.Yield();
}

void WorkRoutines::FileStarted(const std::string& path) {
  view_.SetCurrentFile(path);
  view_.Yield();
}

void WorkRoutines::FileFinished() {
  ++done_;
  view_.SetProgress(done_, count_);
  view_.SetPercent(std::to_string(std::lround(100.0 * done_ / count_)) + "%");
  view_.Yield();
}

void WorkRoutines::AddErrorLine(const std::string& line) {
  errors_ += (errors_.empty() ? "" : "\n") + line;
  view_.SetErrors(errors_);
}

void WorkRoutines::AutomationFailed(int number) {
  const std::string text = AutomationFailureText(number);
  ui_.MsgBox(text, vbOKOnly + vbCritical, kProgramTitle);
  errors_ = text;
  view_.SetErrors(errors_);
}

void WorkRoutines::NoFilesChosen() {
  errors_ += kNoFilesChosen;
  view_.SetErrors(errors_);
}

}  // namespace tessa::ferrowick
