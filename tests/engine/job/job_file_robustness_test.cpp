// Random and damaged job files: loading never fails badly, and a job that
// was loaded in part and saved keeps every task of the file it came from.
#include <gtest/gtest.h>

#include <memory>

#include "engine/job/job_file.h"
#include "engine/job/todo_grid.h"
#include "engine/job_test_support.h"
#include "platform/text_file.h"
#include "support/random_cases.h"

namespace tessa {
namespace {

using test::RandomCases;
using test::TaskLine;

// A random job-file line: a task line as written, with too few or too many
// cells, a huge cell, random bytes, or blanks, ended in any of the ways.
std::string RandomLine(RandomCases& rng, int n) {
  std::string line;
  switch (rng.Below(7)) {
    case 0:
    case 1: line = TaskLine(n); line.resize(line.size() - 2); break;
    case 2: {  // cells cut off or added
      line = TaskLine(n);
      line.resize(rng.Below(line.size() - 1));
      for (size_t i = 0, k = rng.Below(20); i < k; ++i) line += "\t" + rng.From("abc*^ ", rng.Below(4));
      break;
    }
    case 3: line = "M\tFALSE^^^^^^0^*^\t1\tC\t/data/" + std::string(20000 + rng.Below(40000), 'x') + ".bmp\t0"; break;
    case 4: line = rng.Bytes(rng.Below(120)); break;
    case 5: line = rng.From(" \t*", rng.Below(6)); break;
    default: line = rng.From("\t*M^ab\xE9\xC3\xA9", rng.Below(40)); break;
  }
  static const std::vector<std::string> ends = {"\r\n", "\r\n", "\n", "\r", "\n\r"};
  return line + rng.Pick(ends);
}

// A random file: lines in one of the encodings, sometimes damaged.
std::string RandomJobFile(RandomCases& rng) {
  std::string text;
  for (int n = 1, k = static_cast<int>(rng.Below(40)); n <= k; ++n) text += RandomLine(rng, n);
  if (rng.Chance(60)) text += test::kPlaceholderLine;
  std::string bytes;
  switch (rng.Below(6)) {
    case 0: bytes = "\xFF\xFE" + EncodeText(text, TextEncoding::Utf16LE); break;
    case 1: bytes = "\xFE\xFF" + EncodeText(text, TextEncoding::Utf16BE); break;
    case 2: bytes = "\xEF\xBB\xBF" + text; break;
    default: bytes = text; break;
  }
  if (rng.Chance(15) && !bytes.empty()) bytes.pop_back();  // UTF-16 of odd length among others
  if (rng.Chance(15)) bytes = rng.Damage(bytes);
  return bytes;
}

// The cells of every task row of a form's to-do grid, the row number left out.
std::vector<std::vector<std::string>> TaskRows(const MainForm& form) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 1; r <= form.fgToDo.Rows() - 2; ++r) {
    auto cells = form.fgToDo.RowCells(r);
    cells[kColNumber].clear();
    rows.push_back(cells);
  }
  return rows;
}

struct Loaded {
  test::FakeJobView view;
  MainForm form;
  explicit Loaded(int32_t cap) {
    form.SetJobView(&view);
    form.InitToDoGrid(form.fgToDo);
    form.InitLogGrid(form.fgLog);
    form.lMaxToDoRows = cap;
  }
};

TEST(JobFileRobustness, DamagedFilesLoadAndPartLoadedJobsSaveWhole) {
  test::ScriptedUserInterface ui;
  test::TempDir dir;
  RandomCases rng(4201);
  int savedParts = 0;
  for (int i = 0; i < 600; ++i) {
    const std::string original = test::WriteFile(dir.file("in.ZOL"), RandomJobFile(rng));
    const std::string saved = dir.file("out" + std::to_string(i % 2) + ".ZOL");
    Loaded whole(30000);
    const bool opened = whole.form.ConversionJobOpen(original);
    if (!opened) continue;  // nothing readable: refused with a reason
    ASSERT_GE(whole.form.fgToDo.Rows(), 2) << i;
    // Loaded in parts, saved, and read again: the same tasks.
    Loaded part(3 + static_cast<int32_t>(rng.Below(6)));
    ASSERT_TRUE(part.form.ConversionJobOpen(original)) << i;
    if (whole.form.fgToDo.Rows() == 2) continue;  // no task: nothing to save
    ASSERT_TRUE(part.form.ConversionJobSaveAs(saved)) << i << ": " << part.form.sJobFileError;
    Loaded again(30000);
    ASSERT_TRUE(again.form.ConversionJobOpen(saved)) << i;
    ASSERT_EQ(TaskRows(again.form), TaskRows(whole.form)) << i;
    ++savedParts;
  }
  EXPECT_GT(savedParts, 100);
}

}  // namespace
}  // namespace tessa
