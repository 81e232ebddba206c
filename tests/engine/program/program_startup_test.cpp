#include "engine/program/program_startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/program_modes.h"
#include "common/settings_file.h"
#include "engine/program/command_line_runner.h"
#include "engine/main_form.h"
#include "platform/ini_file.h"
#include "platform/registry_store.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

namespace fs = std::filesystem;

class DemoFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* sub : {"Demo Data", "Demo Conversion Jobs", "Demo Batch Files", "Languages"})
      test::WriteFile(dir_.path() / "program" / sub / "sample.txt", sub);
    test::WriteFile(dir_.path() / "program" / "Demo Data" / "deeper" / "more.txt", "more");
    savedIni_ = sIniFile;
    sIniFile = dir_.file("user/Vemo_SearchHistory.INI");
    fs::create_directories(dir_.path() / "user");
  }
  void TearDown() override { sIniFile = savedIni_; }

  std::string Installed() {
    return GetSetting(UserRegistryStore(sIniFile), "Tessaprint", "Settings", "bDInstalled", "missing");
  }

  test::TempDir dir_;
  test::ScopedHome home_{dir_.file("home")};
  std::string savedIni_;
};

TEST_F(DemoFiles, FirstRunCopiesTheFourFoldersOnceWithoutOverwriting) {
  test::WriteFile(dir_.path() / "data" / "Languages" / "sample.txt", "mine");
  InstallDemoFiles(dir_.file("program"), dir_.file("data") + "/");
  EXPECT_EQ(Installed(), "TRUE");
  EXPECT_EQ(test::ReadFile(dir_.path() / "data" / "Demo Data" / "deeper" / "more.txt"), "more");
  EXPECT_TRUE(fs::exists(dir_.path() / "data" / "Demo Batch Files" / "sample.txt"));
  EXPECT_EQ(test::ReadFile(dir_.path() / "data" / "Languages" / "sample.txt"), "mine");

  // Deleted by the user: not copied again.
  fs::remove_all(dir_.path() / "data");
  InstallDemoFiles(dir_.file("program"), dir_.file("data"));
  EXPECT_FALSE(fs::exists(dir_.path() / "data"));
}

TEST_F(DemoFiles, ExistingDemoFolderOrFailedCopyStillMarksInstalled) {
  fs::create_directories(dir_.path() / "data" / "Demo");
  InstallDemoFiles(dir_.file("program"), dir_.file("data"));
  EXPECT_EQ(Installed(), "TRUE");
  EXPECT_FALSE(fs::exists(dir_.path() / "data" / "Demo Data"));

  test::TempDir other;
  test::ScopedHome otherHome(other.file("home"));
  sIniFile = other.file("Vemo_SearchHistory.INI");
  InstallDemoFiles(dir_.file("no such program folder"), other.file("data"));
  EXPECT_EQ(Installed(), "TRUE");
}

TEST_F(DemoFiles, AFlagThatAnOlderVersionKeptBesideTheSettingsFileStillCounts) {
  ASSERT_TRUE(SaveSetting(RegistryStoreBeside(sIniFile), "Tessaprint", "Settings", "bDInstalled", "TRUE"));
  InstallDemoFiles(dir_.file("program"), dir_.file("data"));
  EXPECT_FALSE(fs::exists(dir_.path() / "data"));
  EXPECT_FALSE(fs::exists(RegistryStoreBeside(sIniFile))) << "moved to the state folder";
}

TEST(SettingsWhileCommandLineRuns, NothingIsStored) {
  test::TempDir dir;
  const std::string saved = sIniFile;
  sIniFile = dir.file("Vemo_SearchHistory.INI");
  bCommandLineMode = true;
  EXPECT_FALSE(WriteSetting("Language", "Language_Code", "English"));
  bCommandLineMode = false;
  EXPECT_FALSE(fs::exists(sIniFile));
  EXPECT_TRUE(WriteSetting("Language", "Language_Code", "English"));
  EXPECT_EQ(ReadSetting("Language", "Language_Code", ""), "English");
  sIniFile = saved;
}

}  // namespace
}  // namespace tessa

namespace tessa {
namespace {

// Main in a scratch home folder: the settings file and the demo copy land
// there.
class StartupRoads : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetRememberedIniFile();
    image_ = dir_.file("in/Sunrise.jpg");
    fs::create_directories(dir_.path() / "in");
    fs::copy_file(TESSA_BINARY_DIR "/share/tessaprint/Demo Data/Sunrise.jpg", image_);
  }
  void TearDown() override {
    ForgetRememberedIniFile();
    bCommandLineMode = false;
  }

  std::string JobWithOneTask() {
    std::string line;
    for (const std::string& cell : {std::string("M"), std::string("FALSE^^^^^^0^*^"), std::string("1"),
                                    std::string("C"), image_, std::string("2"), std::string("jpg"),
                                    dir_.file("out/job.pdf"), std::string("100"), std::string("PDF"), std::string("")})
      line += cell + "\t";
    return test::WriteFile(dir_.path() / "one.ZOL", line + "\r\n\t\t*\t\t\t\t\t\t\t\t\t\r\n");
  }

  test::TempDir dir_;
  test::ScopedHome home_{dir_.file("home")};
  std::string image_;
  MainForm frm_;
};

TEST_F(StartupRoads, WindowRoadsOpenTheJobOrTheOptionsWithoutRunning) {
  EXPECT_EQ(Main(frm_, {}).road, StartupRoad::kMainWindow);

  const std::string job = JobWithOneTask();
  StartupOutcome openOnly = Main(frm_, {"/O", "/J", job});
  EXPECT_EQ(openOnly.road, StartupRoad::kMainWindow);
  EXPECT_EQ(frm_.fgToDo.Rows(), 3) << "the job's task and the placeholder";
  EXPECT_FALSE(frm_.bRunning);
  EXPECT_FALSE(fs::exists(dir_.file("out/job.pdf")));

  StartupOutcome options = Main(frm_, {"/0", "/S", image_});
  EXPECT_EQ(options.road, StartupRoad::kShellExtenderOptions);
  EXPECT_EQ(options.record.sOriginalFile, image_);
}

TEST_F(StartupRoads, OpenOnlyWithoutAJobRunsTheTaskWithoutAWindow) {
  fs::create_directories(dir_.path() / "out");
  StartupOutcome run = Main(frm_, {"/O", "/S", image_, "/F", "2", "/T", dir_.file("out/o.pdf")});
  EXPECT_EQ(run.road, StartupRoad::kEnd);
  EXPECT_EQ(run.exitCode, kExitSuccess);
  EXPECT_TRUE(fs::exists(dir_.file("out/o.pdf")));
  EXPECT_FALSE(bCommandLineMode);
}

TEST_F(StartupRoads, InvalidCommandLineEndsUnlessStartedByTheBus) {
  StartupOutcome bad = Main(frm_, {"/T", dir_.file("out/x.pdf"), "/L", dir_.file("bad.log")});
  EXPECT_EQ(bad.road, StartupRoad::kEnd);
  EXPECT_EQ(bad.exitCode, kExitBadCommandLine);
  EXPECT_NE(test::ReadFile(dir_.file("bad.log")).find("Missing required or invalid command line argument(s)"),
            std::string::npos);

  WriteIniString(sIniFile, "frmMain", "bSkipProcessedFiles", "TRUE");
  EXPECT_EQ(Main(frm_, {"-Embedding"}).road, StartupRoad::kServeAutomation);
  EXPECT_FALSE(bCommandLineMode);
  EXPECT_TRUE(frm_.bSkipProcessedFiles) << "the calls run with the stored options";
  // The bus's marker in any case; a name that merely holds it is no marker.
  for (const char* marker : {"-embed", "-EMBEDDING", "-Embedding=yes"})
    EXPECT_EQ(Main(frm_, {"/T", "x.pdf", marker}).road, StartupRoad::kServeAutomation) << marker;
  EXPECT_EQ(Main(frm_, {"/S", "scan-embed.png"}).road, StartupRoad::kEnd);
}

}  // namespace
}  // namespace tessa
