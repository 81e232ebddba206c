#include "platform/registry_store.h"

#include <gtest/gtest.h>

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

TEST(RegistryStore, NoSettingsFileMeansNoStore) {
  EXPECT_EQ(RegistryStoreBeside(""), "");
  EXPECT_EQ(GetSetting("", "Tessaprint", "Settings", "bDInstalled", "FALSE"), "FALSE");
  EXPECT_FALSE(SaveSetting("", "Tessaprint", "Settings", "bDInstalled", "TRUE"));
}

}  // namespace
}  // namespace tessa
