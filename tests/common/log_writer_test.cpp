#include "common/log_writer.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <set>
#include <sstream>
#include <thread>

#include <gtest/gtest.h>

#include "platform/global_mutex.h"
#include "support/scripted_user_interface.h"
#include "support/forked_children.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::TempDir;

TEST(LogWriter, TwoProcessesAppendingGiveWholeLines) {
  TempDir dir;
  const std::string log = dir.file("shared.log");
  constexpr int kLines = 1000;
  EXPECT_EQ(test::RunInChildrenAtOnce(2, [&](int c) {
              const std::string filler(40 + c * 25, c == 0 ? 'a' : 'b');
              for (int i = 0; i < kLines; ++i)
                WriteToLogFile("process " + std::to_string(c) + " line " + std::to_string(i) + " " + filler, log,
                               false);
              return true;
            }),
            2);
  const std::string text = ReadFile(log);
  std::set<std::string> seen;
  size_t start = 0, count = 0;
  while (start < text.size()) {
    const size_t end = text.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "last line has no CR LF";
    const std::string line = text.substr(start, end - start);
    ASSERT_EQ(line.find('\n'), std::string::npos);
    seen.insert(line);
    ++count;
    start = end + 2;
  }
  EXPECT_EQ(count, 2u * kLines);
  for (int c = 0; c < 2; ++c)
    for (int i = 0; i < kLines; ++i) {
      const std::string filler(40 + c * 25, c == 0 ? 'a' : 'b');
      EXPECT_TRUE(seen.count("process " + std::to_string(c) + " line " + std::to_string(i) + " " + filler));
    }
}

// Records whether another holder could take the global lock while the box
// was up.
class LockProbingInterface : public test::ScriptedUserInterface {
 public:
  int MsgBox(const std::string& prompt, int style, const std::string& title) override {
    const int fd = ::open(GlobalMutexPath(), O_RDONLY | O_CLOEXEC);
    // Other programs of a parallel test run take the same lock briefly.
    lockFreeDuringBox = fd >= 0 && test::WaitUntil([fd] {
      if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return false;
      ::flock(fd, LOCK_UN);
      return true;
    });
    if (fd >= 0) ::close(fd);
    return ScriptedUserInterface::MsgBox(prompt, style, title);
  }
  bool lockFreeDuringBox = false;
};

TEST(LogWriter, VerboseBoxIsShownAfterTheLockIsReleased) {
  TempDir dir;
  LockProbingInterface ui;
  WriteToLogFile("Job done", dir.file("a.log"), true);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].prompt, "Job done");
  EXPECT_EQ(ui.boxes[0].style, vbInformation);
  EXPECT_TRUE(ui.lockFreeDuringBox);
  EXPECT_EQ(ReadFile(dir.file("a.log")), "Job done\r\n");
}

TEST(LogWriter, NoFileNameOrNoFolderLosesOnlyTheLine) {
  TempDir dir;
  test::ScriptedUserInterface ui;
  WriteToLogFile("shown only", "", true);
  ASSERT_EQ(ui.boxes.size(), 1u);
  EXPECT_EQ(ui.boxes[0].prompt, "shown only");
  WriteToLogFile("lost", dir.file("missing/x.log"), false);
  EXPECT_EQ(ui.boxes.size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(dir.path() / "missing"));
  // Backslashes read as folder separators; lines are appended.
  WriteToLogFile("one", dir.file("b.log"), false);
  WriteToLogFile("two", (dir.path().string() + "\\b.log"), false);
  EXPECT_EQ(ReadFile(dir.file("b.log")), "one\r\ntwo\r\n");
}

}  // namespace
}  // namespace tessa
