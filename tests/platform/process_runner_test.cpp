#include "platform/process_runner.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;
using test::WriteFile;
using Strings = std::vector<std::string>;

int32_t WaitForEnd(ChildProcess& child) {
  int32_t code = -1;
  test::WaitUntil([&] { return child.HasEnded(code); });
  return code;
}

// True when pid is gone or not a zombie.
bool NoZombie(pid_t pid) {
  const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
  if (stat.empty()) return true;
  const auto close = stat.rfind(')');
  return close == std::string::npos || stat.substr(close + 2, 1) != "Z";
}

TEST(SplitArguments, BlanksAndQuotes) {
  EXPECT_EQ(SplitArguments(""), Strings{});
  EXPECT_EQ(SplitArguments("   \t "), Strings{});
  EXPECT_EQ(SplitArguments("a  b\tc"), (Strings{"a", "b", "c"}));
  EXPECT_EQ(SplitArguments("\"My PDFs/out.pdf\" -x"), (Strings{"My PDFs/out.pdf", "-x"}));
  EXPECT_EQ(SplitArguments("pre\"fix with\"blank"), (Strings{"prefix withblank"}));
  EXPECT_EQ(SplitArguments("a \"\" b"), (Strings{"a", "", "b"}));
  EXPECT_EQ(SplitArguments("$HOME 'x y' *"), (Strings{"$HOME", "'x", "y'", "*"}));
}

TEST(ChildProcess, ExitCodesAndSignals) {
  ChildProcess c;
  ASSERT_EQ(c.Start("/bin/sh", SplitArguments("-c \"exit 3\"")), 0);
  EXPECT_EQ(WaitForEnd(c), 3);
  ASSERT_EQ(c.Start("/bin/sh", SplitArguments("-c \"kill -9 $$\"")), 0);
  EXPECT_EQ(WaitForEnd(c), 128 + 9);
}

TEST(ChildProcess, MissingOrUnrunnableProgramDoesNotStart) {
  TempDir t;
  ChildProcess c;
  EXPECT_NE(c.Start(t.file("no-such-program"), {}), 0);
  EXPECT_FALSE(c.Started());
  EXPECT_NE(c.Start(WriteFile(t.path() / "plain.txt", "not a program"), {}), 0);
  EXPECT_NE(c.Start(t.path().string(), {}), 0);
}

TEST(ChildProcess, ArgumentsArriveAsGivenAndOnlyStandardDescriptorsPass) {
  TempDir t;
  const std::string script = WriteFile(t.path() / "args.sh",
                                       "out=$1; shift\n"
                                       "for a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > \"$out\"\n"
                                       "[ -e /proc/$$/fd/57 ] && echo fd57 >> \"$out\"\n"
                                       "exit 0\n");
  const int fd = open(script.c_str(), O_RDONLY);  // not close-on-exec
  ASSERT_EQ(dup2(fd, 57), 57);
  const std::string out = t.file("out.txt");
  ChildProcess c;
  ASSERT_EQ(c.Start("/bin/sh", SplitArguments(script + " " + out + " \"two words\" $HOME *")), 0);
  EXPECT_EQ(WaitForEnd(c), 0);
  close(57);
  close(fd);
  EXPECT_EQ(ReadFile(out), "[two words]\n[$HOME]\n[*]\n");
}

TEST(ChildProcess, NiceValueIsApplied) {
  const int before = getpriority(PRIO_PROCESS, 0);
  ChildProcess c;
  ASSERT_EQ(c.Start("/bin/sleep", {"5"}, true, 19), 0);
  EXPECT_EQ(getpriority(PRIO_PROCESS, static_cast<id_t>(c.Pid())), 19);
  EXPECT_EQ(getpriority(PRIO_PROCESS, 0), before);  // the caller's own value stays
  kill(c.Pid(), SIGKILL);
  EXPECT_EQ(WaitForEnd(c), 128 + 9);
}

TEST(ChildProcess, ReleasedChildIsReapedWhenItEnds) {
  pid_t pid = -1;
  {
    ChildProcess c;
    ASSERT_EQ(c.Start("/bin/sleep", {"0.3"}), 0);
    pid = c.Pid();
  }  // let go while still running
  EXPECT_EQ(kill(pid, 0), 0);  // still running
  EXPECT_TRUE(test::WaitUntil([pid] { return !std::filesystem::exists("/proc/" + std::to_string(pid)); }));
  EXPECT_TRUE(NoZombie(pid));
}

}  // namespace
}  // namespace tessa
