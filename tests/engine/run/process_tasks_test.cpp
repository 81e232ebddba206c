#include "engine/run/process_tasks.h"

#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "engine/task/input_type_list.h"
#include "platform/tick_count.h"
#include "support/scripted_user_interface.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::ScriptedUserInterface;
using test::TempDir;

// A record of process 60 that runs /bin/sh with args.
clsConversionOptions ShellTask(const std::string& args, const std::string& extra) {
  clsConversionOptions r;
  r.sActionToDo = "S";
  r.lSpecialProcess = 60;
  r.sOriginalFile = "/bin/sh";
  r.sTargetFile = args;
  r.sExtraParams = extra;
  return r;
}

// The pid a test script wrote, once it is there.
pid_t ReadPid(const std::string& file) {
  std::string text;
  if (!test::WaitUntil([&] { return !(text = ReadFile(file)).empty() && text.back() == '\n'; })) return -1;
  return static_cast<pid_t>(std::stol(text));
}

bool Gone(pid_t pid) {
  return test::WaitUntil([pid] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); });
}

// A tick count that moves 100 ms each time it is read, for as long as the
// object lives: waits measured in ticks end after a fixed number of looks,
// however busy the machine is.
struct SteppingTicks {
  int64_t now = 0;
  SteppingTicks() {
    SetTickSource([this] { return now += 100; });
  }
  ~SteppingTicks() { SetTickSource({}); }
};

class SpecialProcess : public ::testing::Test {
 protected:
  SpecialProcess() { frm.bRunning = true; }
  ScriptedUserInterface ui;
  MainForm frm;
  TempDir dir;
};

TEST_F(SpecialProcess, ExitCodeIsStoredButDoesNotDecideSuccess) {
  auto r = ShellTask("-c \"exit 3\"", "32^1^10");
  EXPECT_EQ(PerformSpecialProcessItem(frm, r), 0);
  EXPECT_EQ(r.lErr, 0);
  EXPECT_EQ(r.sErr, "Successfully Processed.");
  EXPECT_EQ(r.lCommandLineExitCode, 3);
  EXPECT_FALSE(ui.panels[11].empty());
  EXPECT_GT(ui.yields, 0);
}

TEST_F(SpecialProcess, MissingProgramCannotBeLaunched) {
  auto r = ShellTask("", "32^1^10");
  r.sOriginalFile = dir.file("no-such-program");
  r.lCommandLineExitCode = 7;
  EXPECT_EQ(PerformSpecialProcessItem(frm, r), -10);
  EXPECT_EQ(r.sErr, "Unable to launch application.");
  EXPECT_EQ(r.lCommandLineExitCode, 0);
}

TEST_F(SpecialProcess, TimeOutLeavesTheProgramRunningAndItIsReapedLater) {
  const std::string pidFile = dir.file("pid");
  auto r = ShellTask("-c \"echo $$ > " + pidFile + "; exec sleep 30\"", "32^0^1");
  {
    SteppingTicks ticks;
    const int64_t start = GetTickCount();
    EXPECT_EQ(PerformSpecialProcessItem(frm, r), -11);
    EXPECT_LT(GetTickCount() - start, 2500);
    EXPECT_GE(GetTickCount() - start, 1000);
  }
  EXPECT_EQ(r.sErr, "Process did not complete in the specified time (Timeout)");
  EXPECT_EQ(r.lCommandLineExitCode, 0);
  const pid_t pid = ReadPid(pidFile);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), 0);  // still running
  kill(pid, SIGTERM);
  EXPECT_TRUE(Gone(pid));  // reaped: no zombie stays
}

TEST_F(SpecialProcess, PauseStopsTheWait) {
  struct PausingUi : ScriptedUserInterface {
    MainForm* form = nullptr;
    void DoEvents() override {
      if (++yields == 3) form->bRunning = false;
    }
  };
  PausingUi pausing;
  pausing.form = &frm;
  const std::string pidFile = dir.file("pid");
  int32_t exitCode = 42;
  EXPECT_EQ(ExecAndWait(frm, "/bin/sh", "-c \"echo $$ > " + pidFile + "; exec sleep 30\"", 0, 32, -1, exitCode),
            -11);
  EXPECT_EQ(exitCode, 42);
  const pid_t pid = ReadPid(pidFile);
  ASSERT_GT(pid, 0);
  EXPECT_EQ(kill(pid, 0), 0);
  kill(pid, SIGKILL);
  EXPECT_TRUE(Gone(pid));
}

TEST_F(SpecialProcess, WaitWithoutLimitAndRunsWithoutAFullRecord) {
  int32_t exitCode = -1;
  EXPECT_EQ(ExecAndWait(frm, "/bin/sh", "-c \"sleep 0.3; exit 5\"", 0, 0, -1, exitCode), 0);
  EXPECT_EQ(exitCode, 5);
  EXPECT_EQ(ExecAndWait(frm, " \\bin\\sh ", "-c \"exit 4\"", 0, 0, -1, exitCode), 0);  // stored with "\\"
  EXPECT_EQ(exitCode, 4);
  // A record that holds no special-process fields: no wait at all beyond the
  // first pass, so a slow program times out.
  auto r = ShellTask("-c \"sleep 0.5\"", "1");
  EXPECT_EQ(RunCommandLineItem(frm, r), -11);
}

TEST_F(SpecialProcess, ArgumentsArriveGroupedAndExpanded) {
  ScopedEnv home("HOME", dir.path().string());
  const std::string script = test::WriteFile(dir.path() / "args.sh",
                                             "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$HOME/out\"\n");
  int32_t exitCode = -1;
  EXPECT_EQ(ExecAndWait(frm, "/bin/sh", "%USERPROFILE%/args.sh \"two words\" plain", 0, 32, 10, exitCode), 0);
  EXPECT_EQ(ReadFile(dir.path() / "out"), "[two words]\n[plain]\n");
  // Arguments of only blanks: the program gets none.
  EXPECT_EQ(ExecAndWait(frm, "/bin/sh", "   ", 0, 32, 10, exitCode), 0);
}

TEST_F(SpecialProcess, IdlePriorityRunsAtNice19) {
  const std::string out = dir.file("nice");
  int32_t exitCode = -1;
  ASSERT_EQ(ExecAndWait(frm, "/bin/sh", "-c \"nice > " + out + "\"", 0, kPriorityIdle, 10, exitCode), 0);
  EXPECT_EQ(ReadFile(out), "19\n");
}

TEST_F(SpecialProcess, OtherProcessesTouchNothing) {
  const std::string input = test::WriteFile(dir.path() / "keep.tif", "data");
  clsConversionOptions r;
  r.lSpecialProcess = 7;
  r.sOriginalFile = input;
  r.sTargetFile = dir.file("other.pdf");
  EXPECT_EQ(PerformSpecialProcessItem(frm, r), 0);
  EXPECT_TRUE(std::filesystem::exists(input));
  EXPECT_EQ(r.sErr, "Successfully Processed.");

  r.lSpecialProcess = 1;
  r.sTargetFile = "/jobs/next.zol";
  r.lTargetFileType = 30001;
  r.lErr = 0;
  std::string loadedFile;
  int32_t loadedFrom = 0;
  PerformSpecialProcessItem(frm, r, [&](const std::string& f, int32_t start, FlexGrid& fg) {
    loadedFile = f;
    loadedFrom = start;
    EXPECT_EQ(&fg, &frm.fgToDo);
  });
  EXPECT_EQ(loadedFile, "/jobs/next.zol");
  EXPECT_EQ(loadedFrom, 30001);
}

TEST(FileTypeFromExtension, ReadsTheInputTypeRows) {
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.TIF"), 18);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.tiff"), 18);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.Jpeg"), 2);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.gif"), 40);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.pbm"), 7);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.pgm"), 12);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.ppm"), 14);
  EXPECT_EQ(GetFileTypeFromExtension("/scans.d/README"), 0);
  EXPECT_EQ(GetFileTypeFromExtension("/scans/a.xyz"), -1);
  EXPECT_EQ(InputTypeRows().size(), 24u);
  EXPECT_EQ(InputTypeRows().front().code, 18);
  EXPECT_EQ(InputTypeRows().back().code, 21);
  int keys = 0;
  for (const auto& row : InputTypeRows())
    for (auto k : row.keys) keys += !k.empty();
  EXPECT_EQ(keys, 22);
}

TEST(PriorityClass, MapsToNiceValues) {
  int n = 99;
  EXPECT_TRUE(PriorityClassToNice(64, n));
  EXPECT_EQ(n, 19);
  EXPECT_TRUE(PriorityClassToNice(32, n));
  EXPECT_EQ(n, 0);
  EXPECT_TRUE(PriorityClassToNice(128, n));
  EXPECT_EQ(n, -10);
  EXPECT_TRUE(PriorityClassToNice(256, n));
  EXPECT_EQ(n, -20);
  EXPECT_FALSE(PriorityClassToNice(0, n));
}

}  // namespace
}  // namespace tessa
