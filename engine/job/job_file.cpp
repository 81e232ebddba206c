// Reading and writing job files. The loader caps the to-do grid at
// lMaxToDoRows rows and ends it with a reload row that continues the same
// file; the form remembers which part of which file the grid holds, so that
// saving such a job writes every task of it, not only the loaded part.
#include "engine/job/job_file.h"

#include <algorithm>

#include "common/file_helpers.h"
#include "common/text_helpers.h"
#include "common/translator.h"
#include "engine/job/todo_grid.h"
#include "engine/main_form.h"
#include "engine/status_panels.h"
#include "platform/text_file.h"
#include "platform/user_interface.h"

namespace tessa {

std::string JobFileLine(const std::vector<std::string>& cells) {
  std::string line;
  for (const auto& c : cells) {
    line += c;
    line += '\t';
  }
  line += "\r\n";
  return line;
}

std::string JobFileText(const FlexGrid& fg, int first, int last) {
  std::string text;
  for (int row = first; row <= last; ++row) text += JobFileLine(fg.RowCells(row));
  return text;
}

std::vector<std::string_view> SplitJobFileLines(std::string_view text) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
  }
  return lines;
}

bool bIsSkippedJobLine(std::string_view line) {
  if (line.find_first_not_of(" \t") == std::string_view::npos) return true;
  return line.size() >= 3 && line[2] == '*';
}

bool bStorableInJobFile(const std::vector<std::string>& cells) {
  const auto readsAsTyped = [](const std::string& path) { return TypedPath(path) == path; };
  if (cells.size() > kColOutput && cells[kColAction].find('C') != std::string::npos) {
    const std::string& input = cells[kColInput];
    if (!readsAsTyped(input) || !readsAsTyped(cells[kColOutput])) return false;
    // A listed name holding "*" or "?" would run again as a mask.
    if (bHasWildcards(input) && bFileExists(input)) return false;
  }
  // A file holding other bytes than UTF-8 reads back as Windows-1252.
  return std::none_of(cells.begin(), cells.end(), [](const std::string& c) {
    return c.find_first_of("\t\r\n") != std::string::npos || !IsValidUtf8(c);
  });
}

bool SaveLogGridAsJobFile(const std::string& sFile, const FlexGrid& fg, std::string* error, LogJobRows* rows) {
  std::string text;
  for (int row = 1; row < fg.Rows(); ++row) {
    bool empty = true;
    for (const auto& c : fg.RowCells(row)) empty = empty && c.empty();
    if (empty) continue;
    if (rows && rows->bFailedOnly && fg.TextMatrix(row, kColPass) != "-") continue;
    // The task's own options record goes along, so that a rerun appends
    // where the run appended, with the same PDF texts.
    std::vector<std::string> cells;
    for (int col = kColFlags; col <= kColOutput; ++col) cells.push_back(fg.TextMatrix(row, col));
    if (!bStorableInJobFile(cells)) {
      if (rows) rows->leftOut.push_back(row);
      continue;
    }
    text += JobFileLine(cells);
  }
  return WriteTextFileAtomic(sFile, text, error);
}

namespace {

// Appends the task lines of a job file from line lFrom (counted from 1) up
// to, not including, line lTo (0: to the end) to out, as they stand; skipped
// lines are left out. copied gets their count.
bool CopyJobFileLines(const std::string& sFile, int32_t lFrom, int32_t lTo, std::string& out, int32_t& copied,
                      std::string& error) {
  auto text = ReadTextFile(sFile, &error);
  if (!text) return false;
  int32_t n = 0;
  copied = 0;
  for (auto line : SplitJobFileLines(text->text)) {
    ++n;
    if (n < lFrom) continue;
    if (lTo > 0 && n >= lTo) break;
    if (bIsSkippedJobLine(line)) continue;
    out += line;
    out += "\r\n";
    ++copied;
  }
  return true;
}

// True when row is the reload row the loader wrote for sFile at lStart.
bool bIsReloadRow(const FlexGrid& fg, int row, const std::string& sFile, int32_t lStart) {
  return fg.TextMatrix(row, kColAction) == "S1" && fg.TextMatrix(row, kColOutput) == sFile &&
         fg.TextMatrix(row, kColOutputType) == std::to_string(lStart);
}

}  // namespace

bool MainForm::SaveToDoGridToJobFile(const std::string& sFile, FlexGrid& fg) {
  sJobFileError.clear();
  // Half a loaded job written now would replace the whole job on disk.
  if (bLoadingJob_ && &fg == &fgToDo) {
    sJobFileError = Translate("The conversion job is still being loaded; save it when it has loaded.");
    return false;
  }
  if (fg.Rows() == 2 && !AddFileToConvertGUI()) {
    sJobFileError = Translate("The conversion job holds no task to save.");
    return false;
  }
  const int lastTask = fg.Rows() - 2;
  std::string text;
  std::string why;
  int32_t before = 0;
  int32_t behind = 0;
  // A job loaded in parts: the lines before the loaded part and those behind
  // its reload row still live only in the file they came from.
  if (!jobSource_.file.empty() && jobSource_.firstTask > 1) {
    if (!CopyJobFileLines(jobSource_.file, 1, jobSource_.firstTask, text, before, why)) {
      sJobFileError = Translate("The tasks before the loaded part of the job could not be read, so the job was not saved: ") + why;
      return false;
    }
  }
  // The loader's reload row stands for the rest of its file; tasks added
  // behind it follow that rest.
  int reloadRow = 0;
  for (int row = 1; row <= lastTask && jobSource_.reloadStart > 0 && reloadRow == 0; ++row)
    if (bIsReloadRow(fg, row, jobSource_.reloadFile, jobSource_.reloadStart)) reloadRow = row;
  if (reloadRow == 0) {
    text += JobFileText(fg, 1, lastTask);
  } else {
    text += JobFileText(fg, 1, reloadRow - 1);
    if (!CopyJobFileLines(jobSource_.reloadFile, jobSource_.reloadStart, 0, text, behind, why)) {
      sJobFileError = Translate("The tasks behind the loaded part of the job could not be read, so the job was not saved: ") + why;
      return false;
    }
    text += JobFileText(fg, reloadRow + 1, lastTask);
  }
  text += JobFileLine(fg.RowCells(fg.Rows() - 1));
  if (!WriteTextFileAtomic(sFile, text, &why)) {
    sJobFileError = why;
    return false;
  }
  // The grid now stands for part of the file just written, whose lines may
  // lie elsewhere than in the file it was loaded from: point the remembered
  // part and the reload row at the new file.
  if (&fg == &fgToDo) {
    jobSource_.file = sFile;
    jobSource_.firstTask = before + 1;
    if (reloadRow != 0) {
      const int32_t start = before + reloadRow;
      GridUpdateByCode guard(bGridUpdateByCode);
      const auto cells = SplitText(BuildReloadRowText(sFile, start), '\t');
      for (int col = kColInput; col < static_cast<int>(cells.size()); ++col) fg.SetTextMatrix(reloadRow, col, cells[col]);
      jobSource_.reloadFile = sFile;
      jobSource_.reloadStart = start;
    }
  }
  return true;
}

bool MainForm::LoadJobFileIntoGrid(const std::string& sFile, int32_t lStartTask, FlexGrid& fg) {
  auto& ui = CurrentUserInterface();
  sJobFileError.clear();
  if (!bFileExists(sFile)) {
    sJobFileError = Translate("Conversion job file not found: ") + sFile;
    return false;
  }
  BusyPointer busy;  // until the grid is loaded, a failure included
  std::string why;
  auto decoded = ReadTextFile(sFile, &why);
  if (!decoded) {
    sJobFileError = why;
    return false;
  }
  const bool wasRunning = bRunning;
  bool paused = false;
  bRunning = true;
  bLoadingJob_ = true;
  InitToDoGrid(fg);
  jobSource_ = JobSource{sFile, lStartTask < 1 ? 1 : lStartTask, "", 0};
  ui.SetStatusPanel(kPanelCurrentFile, Translate("Loading Conversion Job: ") + sFile);
  const auto lines = SplitJobFileLines(decoded->text);
  {
    GridUpdateByCode guard(bGridUpdateByCode);
    // Lines are counted from 1; the grid ends at the cap or at a pause with
    // a reload row that continues the file, but only when tasks remain: a
    // reload of nothing would restart the job.
    auto endWithReloadRow = [&](size_t nextLine) {
      for (size_t j = nextLine; j < lines.size(); ++j) {
        if (bIsSkippedJobLine(lines[j])) continue;
        fg.AddItem(BuildReloadRowText(sFile, static_cast<int32_t>(nextLine) + 1), fg.Rows() - 1);
        jobSource_.reloadFile = sFile;
        jobSource_.reloadStart = static_cast<int32_t>(nextLine) + 1;
        return;
      }
    };
    // Lines before the start point have run already; a pause while they
    // are skipped continues at the start point, not at the skipped line.
    const size_t firstLine = static_cast<size_t>(jobSource_.firstTask) - 1;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (!bRunning) {
        paused = true;
        endWithReloadRow(std::max(i, firstLine));
        break;
      }
      const int32_t n = static_cast<int32_t>(i) + 1;
      if (n % 1000 == 0) {
        ui.SetStatusPanel(kPanelCurrentFile, Translate("Loading Conversion Task: ") + std::to_string(n));
        ui.DoEvents();
      }
      if (n < lStartTask || bIsSkippedJobLine(lines[i])) continue;
      fg.AddItem(std::string(lines[i]), fg.Rows() - 1);
      if (fg.Rows() > lMaxToDoRows) {
        endWithReloadRow(i + 1);
        break;
      }
    }
    ui.SetStatusPanel(kPanelCurrentFile, Translate("Completed loading conversion job: ") + sFile);
    for (int row = 1; row <= fg.Rows() - 2; ++row)
      fg.SetTextMatrix(row, kColNumber, std::to_string(row + jobSource_.firstTask - 1));
    fg.SetRow(fg.Rows() - 1);
    SelectGridRow(fg);
  }
  bLoadingJob_ = false;
  bRunning = wasRunning && !paused;
  ++lJobLoads_;
  return true;
}

}  // namespace tessa
