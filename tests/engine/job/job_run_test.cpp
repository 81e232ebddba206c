// Whole jobs run through the real block dispatcher over real images.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "common/text_helpers.h"
#include "engine/main_form.h"
#include "engine/job/todo_grid.h"
#include "engine/image_fixtures.h"
#include "engine/job_test_support.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

struct JobRun : ::testing::Test {
  test::RecordingUserInterface ui;
  test::TempDir dir;
  MainForm form;
  JobRun() {
    form.InitToDoGrid(form.fgToDo);
    form.InitLogGrid(form.fgLog);
  }
  void AddTask(const std::string& input, const std::string& output) {
    clsConversionOptions t;
    t.sOriginalFile = input;
    t.lOriginalFileType = 0;
    t.sTargetFile = output;
    t.sExtraParams = "FALSE^^^^^^0^*^";
    form.AddConversionItemToGrid(t, form.fgToDo);
  }
  std::string Marks() const { return test::PassMarks(form); }
  size_t Pdfs(const std::string& folder) { return test::FolderEntries(folder).size(); }
};

TEST_F(JobRun, PausedMultiFileTaskResumesAtItsNextFile) {
  for (int i = 1; i <= 4; ++i) test::WriteImage(dir.file("in/p" + std::to_string(i) + ".bmp"), 8 + i);
  test::WriteImage(dir.file("single.bmp"), 8);
  AddTask(dir.file("single.bmp"), dir.file("single.pdf"));
  AddTask(dir.file("in/*.bmp"), dir.file("out/*.pdf"));
  AddTask(dir.file("single.bmp"), dir.file("last.pdf"));
  ui.onYield = [this] {
    if (std::filesystem::exists(dir.file("out")) && Pdfs(dir.file("out")) == 2) form.ConversionJobPause();
  };
  form.ConversionJobBegin();
  ui.onYield = nullptr;
  EXPECT_EQ(Marks(), "+..");
  EXPECT_EQ(test::FolderEntries(dir.file("out")), (std::vector<std::string>{"p1.pdf", "p2.pdf"}));
  EXPECT_EQ(form.resumePoints.At(2), 3);

  form.ConversionJobBegin();
  EXPECT_EQ(Marks(), "+++");
  EXPECT_EQ(Pdfs(dir.file("out")), 4u);
  EXPECT_EQ(test::PdfImageWidths(dir.file("out/p4.pdf")), (std::vector<int>{12}));
  EXPECT_TRUE(test::PdfIsSound(dir.file("last.pdf")));
  EXPECT_TRUE(form.resumePoints.Empty());
}

TEST_F(JobRun, ALongJobRunsThroughItsReloadRowsAndMarksFailures) {
  for (int i = 1; i <= 5; ++i) {
    const std::string in = dir.file("i" + std::to_string(i) + ".bmp");
    if (i != 4) test::WriteImage(in, 8);
    AddTask(in, dir.file("o" + std::to_string(i) + ".pdf"));
  }
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("long.ZOL")));
  form.lMaxToDoRows = 4;
  ASSERT_TRUE(form.ConversionJobOpen(dir.file("long.ZOL")));
  form.ConversionJobBegin();
  for (int i : {1, 2, 3, 5}) EXPECT_TRUE(test::PdfIsSound(dir.file("o" + std::to_string(i) + ".pdf"))) << i;
  // The last part of the job holds tasks 4 and 5; the missing input failed.
  EXPECT_EQ(form.fgToDo.TextMatrix(1, kColNumber), "4");
  EXPECT_EQ(Marks(), "-+");
  ASSERT_EQ(form.fgLog.Rows(), 3);
  EXPECT_EQ(form.fgLog.TextMatrix(1, kColNumber), "4");
  EXPECT_EQ(form.fgLog.TextMatrix(1, kColPass), "-");
}

TEST_F(JobRun, AfterAReloadTheLogFileNumbersTasksAsTheLogGridDoes) {
  for (int i = 1; i <= 6; ++i) AddTask(dir.file("missing" + std::to_string(i) + ".bmp"), dir.file("o.pdf"));
  ASSERT_TRUE(form.ConversionJobSaveAs(dir.file("six.ZOL")));
  form.lMaxToDoRows = 4;
  ASSERT_TRUE(form.ConversionJobOpen(dir.file("six.ZOL")));
  form.sLogFile = dir.file("run.log");
  form.ConversionJobBegin();
  std::vector<std::string> inGrid, inFile;
  for (int r = 1; r <= form.fgLog.Rows() - 2; ++r) inGrid.push_back(form.fgLog.TextMatrix(r, kColNumber));
  std::istringstream lines(test::ReadFile(form.sLogFile));
  for (std::string line; std::getline(lines, line);) inFile.push_back(SplitText(line, '\t').at(2));
  EXPECT_EQ(inFile, inGrid);
  EXPECT_EQ(inGrid.back(), "6");
}

}  // namespace
}  // namespace tessa
