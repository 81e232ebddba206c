// tessaprint runs that meet each other or end early: several runs writing
// into one PDF at once, runs stopped by a signal, and the work files a
// killed run left behind.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <random>
#include <regex>
#include <set>

#include "support/child_process.h"
#include "platform/output_lock.h"
#include "platform/temp_file_claim.h"
#include "support/pdf_report.h"
#include "support/temp_dir.h"
#include "support/wait_until.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

const fs::path kDemoData = TESSA_BINARY_DIR "/share/tessaprint/Demo Data";

class SharedOutputs : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* folder : {"home", "in", "out", "tmp"}) fs::create_directories(dir_.path() / folder);
    fs::copy_file(kDemoData / "Sunrise.jpg", file("in/Sunrise.jpg"));
    env_ = test::ChildEnvironment(file("home"), {{"TMPDIR", file("tmp")}});
  }
  std::string file(const std::string& name) const { return dir_.file(name); }

  pid_t Spawn(const std::vector<std::string>& args) { return test::SpawnChild(test::TessaprintPath(), args, env_); }
  int Run(const std::vector<std::string>& args) { return test::RunChild(test::TessaprintPath(), args, env_).exitCode; }

  // A PDF of two pages at path.
  void MakeTwoPagePdf(const std::string& path) {
    ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", path}), 0);
    ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", path, "/+"}), 0);
  }

  // Runs tessaprint with args, killed by the system once it writes a file
  // past limit bytes.
  test::ChildResult RunUpTo(uintmax_t limit, const std::vector<std::string>& args) {
    std::vector<std::string> all = {"--fsize=" + std::to_string(limit), test::TessaprintPath()};
    all.insert(all.end(), args.begin(), args.end());
    return test::RunChild("/usr/bin/prlimit", all, env_);
  }

  // Every name in folder that is not one of keep.
  std::vector<std::string> Others(const std::string& folder, const std::set<std::string>& keep) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
      if (!keep.count(e.path().filename().string())) names.push_back(e.path().filename().string());
    return names;
  }

  test::TempDir dir_;
  std::vector<std::string> env_;
};

TEST_F(SharedOutputs, RunsAppendingToOnePdfAtOnceLoseNoPage) {
  fs::create_directories(file("many"));
  for (int i = 0; i < 200; ++i) fs::copy_file(file("in/Sunrise.jpg"), file("many/p" + std::to_string(i) + ".jpg"));
  MakeTwoPagePdf(file("out/t.pdf"));
  MakeTwoPagePdf(file("out/u.pdf"));

  std::vector<pid_t> runs;
  for (int k = 0; k < 2; ++k) runs.push_back(Spawn({"/S", file("many/*.jpg"), "/T", file("out/t.pdf"), "/F", "2", "/+"}));
  for (int k = 0; k < 20; ++k) runs.push_back(Spawn({"/S", file("in/Sunrise.jpg"), "/T", file("out/u.pdf"), "/+"}));
  for (pid_t pid : runs) EXPECT_EQ(test::WaitForChild(pid, 300000), 0);

  for (const auto& [name, pages] : {std::pair{"out/t.pdf", 402}, std::pair{"out/u.pdf", 22}}) {
    const test::PdfReport report = test::InspectPdf(file(name));
    EXPECT_TRUE(report.checkPassed) << name;
    EXPECT_EQ(report.pages, pages) << name;
  }
  EXPECT_EQ(Others(file("out"), {"t.pdf", "u.pdf"}), std::vector<std::string>{}) << "lock and work files go";
}

TEST_F(SharedOutputs, StopSignalsEndTheRunBetweenFilesWithTheirExitCode) {
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) {
    const std::string first = file("out/first" + std::to_string(sig) + ".pdf");
    const std::string held = file("out/held" + std::to_string(sig) + ".pdf");
    const std::string log = file("run" + std::to_string(sig) + ".log");
    const std::string job = test::WriteFile(
        file("two.ZOL"), "M\tFALSE^^^^^^0^*^\t1\tC\t" + file("in/Sunrise.jpg") + "\t2\t\t" + first + "\t100\tPDF\t\t\r\n" +
                             "M\tFALSE^^^^^^0^*^\t2\tC\t" + file("in/Sunrise.jpg") + "\t2\t\t" + held + "\t100\tPDF\t\t\r\n" +
                             "\t\t*\t\t\t\t\t\t\t\t\t\r\n");
    // The second task waits for the lock this test holds, so the signal
    // comes while the run is surely going.
    auto lock = std::make_unique<OutputLock>(held);
    ASSERT_TRUE(lock->held());
    const pid_t pid = Spawn({"/J", job, "/L", log});
    for (int i = 0; i < 6000 && !fs::exists(first); ++i) usleep(10000);
    ASSERT_TRUE(fs::exists(first));
    ::kill(pid, sig);
    EXPECT_EQ(test::WaitForChild(pid, 60000), 128 + sig) << sig;
    lock.reset();
    EXPECT_TRUE(test::PdfIsSound(first));
    EXPECT_FALSE(fs::exists(held));
    EXPECT_NE(test::ReadFile(log).find("Time to complete job: "), std::string::npos) << test::ReadFile(log);
  }
  EXPECT_EQ(Others(file("out"), {"first2.pdf", "first15.pdf", "first1.pdf"}), std::vector<std::string>{});
}

TEST_F(SharedOutputs, ARunStoppedBySignalDoesNotSucceed) {
  // The job's program outlives the signal and succeeds; the run still stops.
  const std::string job = test::WriteFile(
      file("stop.ZOL"), "\t0^1^30\t1\tS60\t/bin/sh\t0\t\t-c \"touch '" + file("go") + "'; sleep 1\"\t0\t\t\t\r\n");
  const pid_t pid = Spawn({"/J", job, "/L", file("stop.log")});
  for (int i = 0; i < 6000 && !fs::exists(file("go")); ++i) usleep(10000);
  ::kill(pid, SIGTERM);
  EXPECT_EQ(test::WaitForChild(pid, 60000), 128 + SIGTERM);
  const std::regex stoppedAfterHeader("Date: [^\r]*\r\nThe conversion was stopped by signal 15");
  EXPECT_TRUE(std::regex_search(test::ReadFile(file("stop.log")), stoppedAfterHeader));
}

TEST_F(SharedOutputs, WorkFilesOfAKilledRunAreRemovedByTheNextRun) {
  fs::copy_file(kDemoData / "Three Pages.tif", file("in/scan.tif"));
  const auto noted = [](const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return std::to_string(st.st_dev) + " " + std::to_string(st.st_ino) + " " + path + "\n";
  };
  // What a killed run leaves: its work files, its journal naming them (no
  // longer locked by anyone), and PCR files nobody claims.
  const std::vector<std::string> leftovers = {
      test::WriteFile(file("in/scan-ZOL_TEMP_FILE-1.tif"), "page"), test::WriteFile(file("out/.scan.pdf.Xy12Zq"), "%PDF"),
      test::WriteFile(file("tmp/PCRaB3dE9"), ""), test::WriteFile(file("tmp/PCRaB3dE9.bmp"), "BM")};
  const std::string journal = noted(leftovers[0]) + noted(leftovers[1]);
  // A file under a work-file name that no journal names.
  const std::string own = test::WriteFile(file("in/scan-ZOL_TEMP_FILE-2.tif"), "the user's own file");
  test::WriteFile(file("tmp/.tessaprint-work-Ab12Cd"), journal);
  // A live run's journal and work file stay.
  const std::string live = test::WriteFile(file("out/.other.pdf.Qw34Er"), "%PDF");
  test::WriteFile(file("tmp/.tessaprint-work-Ef56Gh"), noted(live));
  const TempFileClaim liveJournal(file("tmp/.tessaprint-work-Ef56Gh"));

  EXPECT_EQ(Run({"/S", file("in/scan.tif"), "/T", file("out/scan.pdf"), "/M", "1"}), 0);
  EXPECT_EQ(test::InspectPdf(file("out/scan.pdf")).pages, 3);
  for (const std::string& f : leftovers) EXPECT_FALSE(fs::exists(f)) << f;
  EXPECT_FALSE(fs::exists(file("tmp/.tessaprint-work-Ab12Cd")));
  for (const std::string& f : {own, live}) EXPECT_TRUE(fs::exists(f)) << f;
}

// kill -9 at many points of a large append, on the direct road and on the
// general one (a cross-reference stream): the next run cuts a torn tail
// away, keeps a whole one, and its own append lands on a sound PDF.
TEST_F(SharedOutputs, AnAppendKilledPartWayIsCutAwayByTheNextRun) {
  std::string noise(1500 * 1000 * 3, '\0');
  std::mt19937 random(7);
  for (char& c : noise) c = static_cast<char>(random());
  const std::string big = test::WriteFile(file("in/big.ppm"), "P6\n1500 1000\n255\n" + noise);
  const std::string pdf = file("out/book.pdf"), note = file("out/.book.pdf.tessaprint-append");
  ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/own.pdf")}), 0);
  ASSERT_EQ(test::RunCommand("qpdf --object-streams=generate " + file("out/own.pdf") + " " + file("out/stream.pdf")).exitCode, 0);
  std::map<std::string, uintmax_t> whole;  // the size the big append gives each seed
  for (const char* seed : {"own", "stream"}) {
    fs::copy_file(file(std::string("out/") + seed + ".pdf"), pdf, fs::copy_options::overwrite_existing);
    ASSERT_EQ(Run({"/S", big, "/T", pdf, "/+"}), 0);
    whole[seed] = fs::file_size(pdf);
  }
  int torn = 0;
  for (const auto& [seed, fraction] : {std::pair{"own", 0.0}, {"own", 0.1}, {"own", 0.5}, {"own", 1.0}, {"stream", 0.5}}) {
    const std::string seeded = file(std::string("out/") + seed + ".pdf");
    const uintmax_t old = fs::file_size(seeded), full = whole[seed];
    fs::copy_file(seeded, pdf, fs::copy_options::overwrite_existing);
    const pid_t pid = Spawn({"/S", big, "/T", pdf, "/+"});
    const auto threshold = static_cast<uintmax_t>(old + fraction * static_cast<double>(full - old));
    const auto deadline = std::chrono::steady_clock::now() + test::kPatience;
    // Killed once the note stands and the bytes reach the point; at 1.0 with the append whole.
    while (fs::file_size(pdf) < full && !(fs::exists(fs::symlink_status(note)) && fs::file_size(pdf) >= threshold) &&
           std::chrono::steady_clock::now() < deadline) {
    }
    ::kill(pid, SIGKILL);
    test::WaitForChild(pid, 60000);
    const uintmax_t killed = fs::file_size(pdf);
    torn += killed > old && killed < full;
    ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", pdf, "/+"}), 0) << seed << " " << fraction << " " << killed;
    const test::PdfReport report = test::InspectPdf(pdf);
    EXPECT_TRUE(report.checkPassed) << seed << " " << fraction;
    EXPECT_EQ(report.pages, killed == full ? 3 : 2) << seed << " " << fraction;
    EXPECT_EQ(Others(file("out"), {"own.pdf", "stream.pdf", "book.pdf"}), std::vector<std::string>{});
  }
  EXPECT_GT(torn, 0) << "no kill landed inside a write";
}

// A replace cutting a TIFF into frames, killed by the file-size limit in
// the last page's append to the PDF it writes aside (long keywords make
// the first page's PDF larger than a frame): the next run removes the
// frames, the aside PDF and that append's note.
TEST_F(SharedOutputs, AKilledReplaceLeavesNothingForTheNextRun) {
  fs::copy_file(kDemoData / "Three Pages.tif", file("in/scan.tif"));
  const std::string pdf = file("out/scan.pdf");
  const std::vector<std::string> replace = {"/S", file("in/scan.tif"), "/T", pdf, "/W", "1-3", "/M", "1", "/K", std::string(20000, 'k')};
  ASSERT_EQ(Run(replace), 0);
  EXPECT_NE(RunUpTo(fs::file_size(pdf) - 300, replace).exitCode, 0);
  EXPECT_EQ(Others(file("in"), {"scan.tif", "Sunrise.jpg"}).size(), 3u) << "frames";
  const std::vector<std::string> aside = Others(file("out"), {"scan.pdf"});  // the PDF set aside and its note
  ASSERT_EQ(aside.size(), 2u);
  EXPECT_TRUE(aside[0].ends_with(".pdf.tessaprint-append") || aside[1].ends_with(".pdf.tessaprint-append"));
  ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", file("out/scan.pdf"), "/+"}), 0);
  EXPECT_EQ(Others(file("in"), {"scan.tif", "Sunrise.jpg"}), std::vector<std::string>{});
  EXPECT_EQ(Others(file("out"), {"scan.pdf"}), std::vector<std::string>{});
}

// A torn append is mended only under its PDF's lock: a run that cannot take
// the lock leaves it alone. A copy of it without its note is refused as damaged.
TEST_F(SharedOutputs, ATornAppendIsMendedOnlyUnderItsLockAndACopyWithoutItsNoteIsRefused) {
  const std::string pdf = file("out/book.pdf"), copy = file("out/copy.pdf"), lock = OutputLock::LockFileOf(pdf);
  MakeTwoPagePdf(pdf);
  fs::copy_file(pdf, copy);
  const std::vector<std::string> append = {"/S", file("in/Sunrise.jpg"), "/T", pdf, "/+"};
  ASSERT_EQ(Run({"/S", file("in/Sunrise.jpg"), "/T", copy, "/+"}), 0);
  ASSERT_NE(RunUpTo(fs::file_size(copy) - 300, append).exitCode, 0);  // past the new page: no repair makes it whole
  fs::copy_file(pdf, copy, fs::copy_options::overwrite_existing);
  const std::string torn = test::ReadFile(pdf);
  fs::remove(lock);  // the killed run's
  fs::create_symlink(file("elsewhere"), lock);
  const test::ChildResult unlocked = test::RunChild(test::TessaprintPath(), append, env_);
  fs::remove(lock);
  EXPECT_NE(unlocked.err.find("The output file cannot be locked (Too many levels of symbolic links)"), std::string::npos);
  EXPECT_EQ(test::ReadFile(pdf), torn);
  const test::ChildResult damaged = test::RunChild(test::TessaprintPath(), {"/S", file("in/Sunrise.jpg"), "/T", copy, "/+"}, env_);
  EXPECT_EQ(damaged.exitCode, 1);
  EXPECT_NE(damaged.err.find("PDF was not created - The output file is a damaged PDF."), std::string::npos) << damaged.err;
  EXPECT_EQ(test::ReadFile(copy), torn);
  ASSERT_EQ(Run(append), 0);
  EXPECT_EQ(test::InspectPdf(pdf).pages, 3);
  EXPECT_EQ(Others(file("out"), {"book.pdf", "copy.pdf"}), std::vector<std::string>{});
}

}  // namespace
}  // namespace tessa
