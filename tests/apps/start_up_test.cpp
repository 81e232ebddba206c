// What a tessaprint start costs: the libraries each road maps (seen through
// the dynamic loader's own report) and how often a command-line run reads
// the settings file (seen through inotify on its folder).
#include <gtest/gtest.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>

#include "support/child_process.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoData = TESSA_BINARY_DIR "/share/tessaprint/Demo Data";

class StartUp : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(settingsFolder());
    fs::copy_file(kDemoData / "Checkerboard.png", dir_.path() / "in.png");
    fs::copy_file(kDemoData / "Rings.gif", dir_.path() / "in.gif");
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  fs::path settingsFolder() const { return dir_.path() / "home/.config/Brindlecove, Inc/Tessalumen"; }

  test::ChildResult Run(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
    return test::RunChild(test::TessaprintPath(), args, test::ChildEnvironment(file("home"), env));
  }

  test::TempDir dir_;
};

TEST_F(StartUp, OnlyTheRoadsThatNeedThemMapTheCoreOrQt) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    bool bCore;
    bool bFreeImage;  // a PNG goes into the PDF as it is, a GIF is decoded
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, false, false},
      {{"/S", file("in.png"), "/T", file("out.pdf")}, 0, true, false},
      {{"/T", file("nothing.pdf")}, 2, true, false},
      {{"/S", file("in.gif"), "/T", file("gif.pdf")}, 0, true, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path folder = dir_.path() / ("loader" + std::to_string(++n));
    fs::create_directories(folder);
    const auto r = Run(c.args, {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", (folder / "report").string()}});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << r.err;
    std::string report;  // every library the dynamic loader mapped, as its report names them
    for (const auto& entry : fs::directory_iterator(folder)) report += test::ReadFile(entry.path());
    EXPECT_NE(report.find("file=libc.so"), std::string::npos) << "no loader report for " << c.args[0];
    EXPECT_EQ(report.find("file=libtessaprint_core.so") != std::string::npos, c.bCore) << c.args[0];
    EXPECT_EQ(report.find("file=libQt6"), std::string::npos) << c.args[0];
    EXPECT_EQ(report.find("file=libfreeimage") != std::string::npos, c.bFreeImage) << c.args[1];
  }
  EXPECT_TRUE(test::PdfIsSound(file("out.pdf")));
  EXPECT_TRUE(test::PdfIsSound(file("gif.pdf")));
}

TEST_F(StartUp, ACommandLineRunReadsTheSettingsFileOnce) {
  const std::string name = "Vemo_SearchHistory.INI";
  test::WriteFile(settingsFolder() / name, "[frmMain]\nbSkipProcessedFiles=FALSE\n[Language]\nLanguage=English\n");
  const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  // Opens are watched too, so that no two reads in a row make events that
  // inotify would merge into one.
  ASSERT_GE(inotify_add_watch(watch, settingsFolder().c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
  EXPECT_EQ(Run({"/S", file("in.png"), "/T", file("out.pdf")}).exitCode, 0);
  int reads = 0;
  alignas(inotify_event) char buffer[64 * 1024];
  for (ssize_t got; (got = read(watch, buffer, sizeof buffer)) > 0;)
    for (char* at = buffer; at < buffer + got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(at);
      if ((event->mask & IN_CLOSE_NOWRITE) && event->len > 0 && name == event->name) ++reads;
      at += sizeof(inotify_event) + event->len;
    }
  close(watch);
  EXPECT_EQ(reads, 1);
}

}  // namespace
}  // namespace tessa
