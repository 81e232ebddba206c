#include "engine/program/command_line_runner.h"

#include <gtest/gtest.h>

#include "common/program_modes.h"
#include "engine/main_form.h"
#include "engine/run/run_log.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

std::string JobLine(const std::string& input) {
  std::string line;
  for (const std::string& cell : {std::string("M"), std::string("FALSE^^^^^^0^*^"), std::string("1"), std::string("C"),
                                  input, std::string("2"), std::string("jpg"), input + ".pdf", std::string("100"),
                                  std::string("PDF"), std::string("")})
    line += cell + "\t";
  return line + "\r\n";
}

class JobRuns : public ::testing::Test {
 protected:
  void SetUp() override {
    bCommandLineMode = true;
    job_ = test::WriteFile(dir_.path() / "job.ZOL", JobLine("a.jpg") + JobLine("b.jpg") + JobLine("c.jpg") +
                                                        "\t\t*\t\t\t\t\t\t\t\t\t\r\n");
    record_.sCLBatchJobFile = job_;
    record_.sLogFile = dir_.file("run.log");
    frm_.InitToDoGrid(frm_.fgToDo);
    frm_.InitLogGrid(frm_.fgLog);
  }
  void TearDown() override { bCommandLineMode = false; }

  // Every task is logged, as verbose logging does, with its notice; the
  // tasks whose input is named in failing get code -5.
  void RunTasksLogging(const std::string& failing) {
    frm_.blockRunner = [this, failing](int32_t row, clsConversionOptions& co, int32_t& ret) {
      ret = co.sOriginalFile.find(failing) != std::string::npos ? -5 : 0;
      co.lErr = ret;
      co.sErr = ret ? "bad" : "";
      co.bVerboseLog = true;
      co.sLogFile = dir_.file("rows.log");
      LogConversionError(frm_, row, co);
    };
  }

  test::TempDir dir_;
  MainForm frm_;
  clsConversionOptions record_;
  std::string job_;
};

TEST_F(JobRuns, LoggedSuccessesAreNoFailureAndShowNoBoxPerFile) {
  test::ScriptedUserInterface ui;
  record_.bVerbose = true;
  RunTasksLogging("no such input");
  EXPECT_EQ(PerformCommandLine(frm_, record_), 0);
  EXPECT_EQ(frm_.fgLog.Rows(), 5) << "three logged rows";
  const std::string log = test::ReadFile(dir_.file("run.log"));
  EXPECT_NE(log.find("Conversion Successful\r\n"), std::string::npos);
  EXPECT_EQ(log.find("Job # "), std::string::npos);
  // /V shows the runner's own two lines; the per-file notices stay in the log.
  ASSERT_EQ(ui.boxes.size(), 2u);
  EXPECT_EQ(ui.boxes[0].prompt, "Conversion Successful");
  EXPECT_EQ(ui.boxes[1].prompt.rfind("Time to complete job: ", 0), 0u);
  EXPECT_NE(test::ReadFile(dir_.file("rows.log")).find("b.jpg"), std::string::npos);
}

TEST_F(JobRuns, AFailedRowFailsTheJobAndEveryRowIsReported) {
  record_.sLogAsConversionJobFile = dir_.file("again.ZOL");
  RunTasksLogging("b.jpg");
  EXPECT_EQ(PerformCommandLine(frm_, record_), -1);
  const std::string log = test::ReadFile(dir_.file("run.log"));
  EXPECT_NE(log.find("Job # 1   - a.jpg\r\n"), std::string::npos) << log;
  EXPECT_NE(log.find("Job # 2  bad - b.jpg\r\n"), std::string::npos) << log;
  EXPECT_EQ(log.find("Conversion Successful"), std::string::npos);
  EXPECT_NE(test::ReadFile(dir_.file("again.ZOL")).find("b.jpg"), std::string::npos);
}

TEST_F(JobRuns, UnwritableJobFileForFailedRowsIsLogged) {
  record_.sLogAsConversionJobFile = dir_.file("no such folder/again.ZOL");
  RunTasksLogging("a.jpg");
  EXPECT_EQ(PerformCommandLine(frm_, record_), -1);
  EXPECT_NE(test::ReadFile(dir_.file("run.log")).find("Unable to create file. Try a different folder such as 'My Documents'"),
            std::string::npos);
}

}  // namespace
}  // namespace tessa
