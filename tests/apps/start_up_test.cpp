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
    fs::copy_file(kDemoData / "Three Pages.tif", dir_.path() / "in.tif");
  }
  std::string file(const std::string& name) const { return dir_.file(name); }
  fs::path settingsFolder() const { return dir_.path() / "home/.config/Brindlecove, Inc/Tessalumen"; }

  test::ChildResult Run(const std::vector<std::string>& args, const std::map<std::string, std::string>& env = {}) {
    return test::RunChild(test::TessaprintPath(), args, test::ChildEnvironment(file("home"), env));
  }

  test::TempDir dir_;
};

TEST_F(StartUp, OnlyTheRoadsThatNeedThemMapTheCoreOrQt) {
  // An existing PDF with object streams and a cross-reference stream, as
  // qpdf writes it, to append to.
  const std::string model = file("model.pdf");
  const auto env = test::ChildEnvironment(file("home"));
  ASSERT_EQ(test::RunChild("/usr/bin/img2pdf", {file("in.png"), "-o", file("plain.pdf")}, env).exitCode, 0);
  ASSERT_EQ(test::RunChild("/usr/bin/qpdf", {"--object-streams=generate", file("plain.pdf"), model}, env).exitCode, 0);
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    bool bCore;
    bool bFreeImage;  // a PNG goes into the PDF as it is, a GIF is decoded
    bool bTiff;       // FreeImage maps it too, as its own
    bool bQpdf;       // only a PDF whose end alone does not do is read through it
  };
  const std::vector<Case> cases = {
      {{"--help"}, 0, false, false, false, false},
      {{"/S", file("in.png"), "/T", file("out.pdf")}, 0, true, false, false, false},
      {{"/S", file("in.png"), "/T", file("out.pdf"), "/+"}, 0, true, false, false, false},
      {{"/T", file("nothing.pdf")}, 2, true, false, false, false},
      {{"/S", file("in.gif"), "/T", file("gif.pdf")}, 0, true, true, true, false},
      {{"/S", file("in.tif"), "/T", file("tif.pdf")}, 0, true, true, true, false},
      {{"/S", file("in.png"), "/T", model, "/+"}, 0, true, false, false, true},
  };
  int n = 0;
  for (const Case& c : cases) {
    const fs::path folder = dir_.path() / ("loader" + std::to_string(++n));
    fs::create_directories(folder);
    const auto r = Run(c.args, {{"LD_DEBUG", "files"}, {"LD_DEBUG_OUTPUT", (folder / "report").string()}});
    EXPECT_EQ(r.exitCode, c.exitCode) << c.args[0] << r.err;
    std::string report;  // every library the dynamic loader mapped, as its report names them
    for (const auto& entry : fs::directory_iterator(folder)) report += test::ReadFile(entry.path());
    const auto maps = [&](const std::string& library) { return report.find("file=" + library) != std::string::npos; };
    const std::string label = c.args[0] + " " + c.args.back();
    EXPECT_TRUE(maps("libc.so")) << "no loader report for " << label;
    EXPECT_EQ(maps("libtessaprint_core.so"), c.bCore) << label;
    EXPECT_FALSE(maps("libQt6")) << label;
    EXPECT_EQ(maps("libfreeimage"), c.bFreeImage) << label;
    EXPECT_EQ(maps("libtiff"), c.bTiff) << label;
    EXPECT_EQ(maps("libqpdf"), c.bQpdf) << label;
  }
  for (const char* pdf : {"gif.pdf", "tif.pdf"}) EXPECT_TRUE(test::PdfIsSound(file(pdf))) << pdf;
  for (const std::string& pdf : {file("out.pdf"), model}) {
    const test::PdfReport appended = test::InspectPdf(pdf);
    EXPECT_TRUE(appended.checkPassed) << pdf;
    EXPECT_EQ(appended.pages, 2) << pdf;
  }
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
