#include "common/settings_file.h"

#include <gtest/gtest.h>

#include "platform/ini_file.h"
#include "support/forked_children.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

using test::ReadFile;
using test::ScopedEnv;
using test::TempDir;

// A fresh home with no XDG variables, and nothing remembered.
class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() : home_(dir_.file("home")) {
    ForgetRememberedIniFile();
  }
  ~SettingsFileTest() override {
    ForgetRememberedIniFile();
    sIniFile.clear();
  }
  std::string Expected() const {
    return dir_.file("home") + "/.config/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI";
  }
  TempDir dir_;
  test::ScopedHome home_;
};

TEST_F(SettingsFileTest, LivesInTheConfigFolderAndPassesTheProbe) {
  const std::string path = GetIniFilePath(18);
  ASSERT_EQ(path, Expected());
  EXPECT_EQ(ReadIniString(path, "Main", "Partial", ""), "Level3");
  // Later calls return the first answer whatever they ask for.
  EXPECT_EQ(FindINIFile("Other.INI", "X", "Y", 28), path);
  EXPECT_EQ(GetIniFilePath(5), path);
}

TEST_F(SettingsFileTest, FollowsXdgConfigHome) {
  ScopedEnv config("XDG_CONFIG_HOME", dir_.file("cfg"));
  EXPECT_EQ(GetIniFilePath(18), dir_.file("cfg") + "/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI");
}

TEST_F(SettingsFileTest, OtherProductTypesUseTheNeutralNames) {
  EXPECT_EQ(GetIniFilePath(7), dir_.file("home") + "/.config/Brindlecove, Inc/123/ABC.INI");
}

TEST_F(SettingsFileTest, ProbeRejectsFailedLookupsAndUnusableFolders) {
  EXPECT_FALSE(bCanWriteIniFile("Folder Not Valid On this OS/Brindlecove, Inc/T/x.INI"));
  EXPECT_FALSE(bCanWriteIniFile("special folder does not exist/x.INI"));
  // A file standing where the folder should be.
  test::WriteFile(dir_.path() / "blocker", "x");
  EXPECT_FALSE(bCanWriteIniFile(dir_.file("blocker") + "/sub/x.INI"));
  // A single special folder that fails: the empty answer stands for the process.
  EXPECT_EQ(FindINIFile("x.INI", "C", "P", 46), "");
  EXPECT_EQ(FindINIFile("x.INI", "C", "P", 26), "");
}

TEST_F(SettingsFileTest, ProbeRefusesAReadOnlyFolder) {
  const auto folder = dir_.path() / "ro";
  std::filesystem::create_directories(folder);
  std::filesystem::permissions(folder, std::filesystem::perms(0555));
  EXPECT_EQ(test::ExitCodeWithoutPrivileges([&] { return bCanWriteIniFile((folder / "x.INI").string()) ? 1 : 0; }), 0);
}

TEST_F(SettingsFileTest, ProcessesStartingTogetherAllPassTheProbe) {
  const std::string path = Expected();
  EXPECT_EQ(test::RunInChildrenAtOnce(3, [&](int) {
              bool ok = true;
              for (int k = 0; k < 60; ++k) ok = bCanWriteIniFile(path) && ok;
              return ok;
            }),
            3);
}

TEST_F(SettingsFileTest, TypedSettingsFollowTheStoredConventions) {
  sIniFile = GetIniFilePath(18);
  ASSERT_FALSE(sIniFile.empty());
  EXPECT_TRUE(WriteSettingBool("frmMain", "bFlag", true));
  EXPECT_TRUE(WriteSettingLong("frmMain", "lCount", -42));
  EXPECT_TRUE(WriteSetting("frmMain", "sText", "a=b"));
  EXPECT_TRUE(ReadSettingBool("FRMMAIN", "bflag", false));
  EXPECT_EQ(ReadSettingLong("frmMain", "lCount", 0), -42);
  EXPECT_EQ(ReadSetting("frmMain", "sText", ""), "a=b");
  const std::string text = ReadFile(sIniFile);
  EXPECT_NE(text.find("bFlag=TRUE"), std::string::npos);
  EXPECT_NE(text.find("lCount=-42"), std::string::npos);
  WriteSetting("frmMain", "bOther", "true");
  EXPECT_TRUE(ReadSettingBool("frmMain", "bOther", false));
  WriteSetting("frmMain", "bOther", "yes");
  EXPECT_FALSE(ReadSettingBool("frmMain", "bOther", true));
  WriteSetting("frmMain", "lBad", "many");
  EXPECT_EQ(ReadSettingLong("frmMain", "lBad", 7), 7);
  EXPECT_TRUE(ReadSettingBool("frmMain", "missing", true));
}

}  // namespace
}  // namespace tessa
