#include "platform/registry_store.h"

#include <filesystem>

#include "platform/ini_file.h"
#include "platform/known_folders.h"

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

std::string UserRegistryStore(const std::string& settingsFile) {
  const std::string state = UserStateFolder();
  if (state.empty()) return RegistryStoreBeside(settingsFile);
  const std::filesystem::path store = std::filesystem::path(state) / "tessaprint" / "UserRegistry.INI";
  std::error_code ec;
  std::filesystem::create_directories(store.parent_path(), ec);
  const std::string old = RegistryStoreBeside(settingsFile);
  if (!old.empty() && !std::filesystem::exists(store, ec) && std::filesystem::is_regular_file(old, ec)) {
    std::filesystem::rename(old, store, ec);
    if (ec && std::filesystem::copy_file(old, store, ec)) std::filesystem::remove(old, ec);
  }
  return store.generic_string();
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
