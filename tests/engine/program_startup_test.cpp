#include "engine/program_startup.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "common/program_modes.h"
#include "common/settings_file.h"
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
    return GetSetting(RegistryStoreBeside(sIniFile), "Tessaprint", "Settings", "bDInstalled", "missing");
  }

  test::TempDir dir_;
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
  sIniFile = other.file("Vemo_SearchHistory.INI");
  InstallDemoFiles(dir_.file("no such program folder"), other.file("data"));
  EXPECT_EQ(Installed(), "TRUE");
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
