#include "common/help_launcher.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include "common/settings_file.h"
#include "common/translator.h"
#include "support/temp_dir.h"

namespace tessa {
namespace {

// Records what the desktop was asked to open, one line per call.
class HelpLauncherTest : public ::testing::Test {
 protected:
  HelpLauncherTest() {
    const std::string opener = test::WriteFile(
        dir_.path() / "opener.sh", "#!/bin/sh\necho \"$1\" > '" + record_ + ".part'; mv '" + record_ + ".part' '" +
                                       record_ + "'\n");
    std::filesystem::permissions(opener, std::filesystem::perms::owner_all);
    env_ = std::make_unique<test::ScopedEnv>("TESSAPRINT_OPENER", opener);
    sIniFile = dir_.file("settings.INI");
  }
  ~HelpLauncherTest() override {
    sIniFile.clear();
    sLanguage.clear();
  }
  std::string Opened() {
    for (int i = 0; i < 1000 && !std::filesystem::exists(record_); ++i) usleep(10000);
    std::string line = test::ReadFile(record_);
    std::filesystem::remove(record_);
    return line.empty() ? line : line.substr(0, line.size() - 1);
  }
  test::TempDir dir_;
  std::string record_ = dir_.file("opened.txt");
  std::unique_ptr<test::ScopedEnv> env_;
};

TEST_F(HelpLauncherTest, OpensThePageOfTheTopicElseTheWebPage) {
  sLanguage = "German";
  InitializeHelpFile();
  EXPECT_EQ(sHelpFile.substr(sHelpFile.size() - 5), "/help");
  EXPECT_EQ(sDocHome, HelpAddress("DocHome"));
  sHelpFile = dir_.file("help");
  const std::string page = test::WriteFile(dir_.path() / "help" / "command-line.html", "<html></html>");
  ASSERT_TRUE(ShowHelpTopic(kHelpCommandLine, "https://example.invalid/cl"));
  EXPECT_EQ(Opened(), page);
  // No page for the topic: the given web page, else the documentation home.
  ASSERT_TRUE(ShowHelpTopic(kHelpProgramOptions, "https://example.invalid/options"));
  EXPECT_EQ(Opened(), "https://example.invalid/options");
  WriteSetting("Help", "DocHome", "https://example.invalid/home");
  InitializeHelpFile();
  sHelpFile = dir_.file("missing");
  ASSERT_TRUE(ShowHelpTopic(kHelpStartTopic));
  EXPECT_EQ(Opened(), "https://example.invalid/home");
  sLanguage = "Japanese";  // a folder of its own
  InitializeHelpFile();
  EXPECT_EQ(sHelpFile.substr(sHelpFile.size() - 8), "/help-JP");
}

TEST(HelpPages, EveryTopicHasAShippedPage) {
  sHelpFile = std::string(TESSA_SOURCE_DIR) + "/data/help";
  for (long id : {kHelpStartTopic, kHelpCommandLine, kHelpProgramOptions, kHelpQuickStart, kHelpLanguages,
                  kHelpAdvancedOptions, kHelpScheduler}) {
    const std::string page = HelpPagePath(id);
    ASSERT_FALSE(page.empty()) << id;
    EXPECT_TRUE(std::filesystem::is_regular_file(page)) << page;
  }
  sHelpFile.clear();
}

}  // namespace
}  // namespace tessa
