// The per-user registry values of the program (GetSetting and SaveSetting):
// values under an application title and a section, kept in one small INI
// file of ours in the user's state folder, apart from the settings file and
// the data folder, so that deleting those keeps them.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

// Where earlier versions kept the store: "UserRegistry.INI" beside the
// settings file at settingsFile; "" when settingsFile is "".
std::string RegistryStoreBeside(const std::string& settingsFile);

// The user's store, "tessaprint/UserRegistry.INI" in the user's state folder
// (made when missing); a store still beside settingsFile moves there first.
// The store beside settingsFile when there is no home folder.
std::string UserRegistryStore(const std::string& settingsFile);

// The value of key under appName and section in the store, or def when the
// store, the section or the key is missing.
std::string GetSetting(const std::string& store, const std::string& appName, const std::string& section,
                       const std::string& key, const std::string& def);

// Stores value; false when the store could not be written (no store given,
// a missing folder or a refused value).
bool SaveSetting(const std::string& store, const std::string& appName, const std::string& section,
                 const std::string& key, const std::string& value);

}  // namespace tessa
