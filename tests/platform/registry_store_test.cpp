#include "platform/registry_store.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "support/temp_dir.h"

namespace tessa {
namespace {

TEST(RegistryStore, ValuesLiveBesideTheSettingsFileUnderTitleAndSection) {
  test::TempDir dir;
  const std::string store = RegistryStoreBeside(dir.file("Vemo_SearchHistory.INI"));
  EXPECT_EQ(store, dir.file("UserRegistry.INI"));
  EXPECT_EQ(GetSetting(store, "Tessaprint", "Settings", "bDInstalled", "FALSE"), "FALSE");
  ASSERT_TRUE(SaveSetting(store, "Tessaprint", "Settings", "bDInstalled", "TRUE"));
  EXPECT_EQ(GetSetting(store, "Tessaprint", "Settings", "bDInstalled", "FALSE"), "TRUE");
  EXPECT_EQ(GetSetting(store, "Other", "Settings", "bDInstalled", "x"), "x");
  EXPECT_EQ(GetSetting(store, "Tessaprint", "Other", "bDInstalled", "x"), "x");
}

TEST(RegistryStore, TheUsersStoreLivesInTheStateFolderAndAStoreBesideTheSettingsMovesThere) {
  test::TempDir dir;
  test::ScopedHome home(dir.file("home"));
  const std::string settings = dir.file("Vemo_SearchHistory.INI");
  ASSERT_TRUE(SaveSetting(RegistryStoreBeside(settings), "Tessaprint", "Settings", "bDInstalled", "TRUE"));
  const std::string store = UserRegistryStore(settings);
  EXPECT_EQ(store, dir.file("home/.local/state/tessaprint/UserRegistry.INI"));
  EXPECT_EQ(GetSetting(store, "Tessaprint", "Settings", "bDInstalled", "FALSE"), "TRUE");
  EXPECT_FALSE(std::filesystem::exists(RegistryStoreBeside(settings)));
}

TEST(RegistryStore, NoSettingsFileMeansNoStore) {
  EXPECT_EQ(RegistryStoreBeside(""), "");
  EXPECT_EQ(GetSetting("", "Tessaprint", "Settings", "bDInstalled", "FALSE"), "FALSE");
  EXPECT_FALSE(SaveSetting("", "Tessaprint", "Settings", "bDInstalled", "TRUE"));
}

}  // namespace
}  // namespace tessa
