#include "platform/registry_store.h"

#include <filesystem>

#include "platform/ini_file.h"

namespace tessa {

namespace {

// One INI section per application title and section: "Tessaprint\Settings".
std::string SectionName(const std::string& appName, const std::string& section) {
  return appName + "\\" + section;
}

}  // namespace

std::string RegistryStoreBeside(const std::string& settingsFile) {
  if (settingsFile.empty()) return "";
  return (std::filesystem::path(settingsFile).parent_path() / "UserRegistry.INI").generic_string();
}

std::string GetSetting(const std::string& store, const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& def) {
  if (store.empty()) return def;
  return ReadIniString(store, SectionName(appName, section), key, def);
}

bool SaveSetting(const std::string& store, const std::string& appName, const std::string& section,
                 const std::string& key, const std::string& value) {
  if (store.empty()) return false;
  return WriteIniString(store, SectionName(appName, section), key, value);
}

}  // namespace tessa
