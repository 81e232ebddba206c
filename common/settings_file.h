// The per-user settings file that the program and its file-manager extension
// share: where it lives, how a location is proved writable, and the reading
// and writing conventions every owner of a section follows.
#pragma once

#include <string>

namespace tessa {

// The settings file's full path, set once at start-up from GetIniFilePath(18)
// ("" when no usable location was found; readers then get their defaults).
extern std::string sIniFile;

// The per-user data folder, ending in "/", holding the folder Languages; set
// at start-up.
extern std::string sDataFolder;

// The settings file of a product type: 18 gives
// "$XDG_CONFIG_HOME/Brindlecove, Inc/Tessalumen/Vemo_SearchHistory.INI" once
// that location passes the probe; "" when it does not.
std::string GetIniFilePath(long lProductType);

// The first usable location of a data file, remembered for the process: once
// a search has answered, every later call returns that answer (even "")
// whatever its arguments. lCsidl 0 tries the program folder, then the
// special folders 46, 28, 26, 5, 35 in turn.
std::string FindINIFile(const std::string& sFileName, const std::string& sCompany,
                        const std::string& sProduct, long lCsidl);

// Forgets FindINIFile's remembered answer (for tests).
void ForgetRememberedIniFile();

// True when the INI file at sPath can be written and read back: creates its
// folder when missing, then writes [Main] Partial = "level2" and "Level3",
// reading each back exactly, all under the file's write lock so that
// processes starting together do not disturb each other's probe.
bool bCanWriteIniFile(const std::string& sPath);

// A special folder's path, or "Special Folder Does Not Exist" / "Folder Not
// Valid On this OS" when it cannot be given.
std::string GetSpecialFolder(long lCsidl);

// A special folder's path, or "(error)".
std::string GetSpecialFolderPath(long lCsidl);

// Reading and writing keys of sIniFile. Booleans are stored as "TRUE" or
// "FALSE" and read as true exactly when the upper-cased value is "TRUE";
// numbers as decimal text. Readers give def when the key is missing or not a
// number; writers return false when the key could not be stored, and store
// nothing while bCommandLineMode is set.
std::string ReadSetting(const std::string& section, const std::string& key, const std::string& def);
bool WriteSetting(const std::string& section, const std::string& key, const std::string& value);
bool ReadSettingBool(const std::string& section, const std::string& key, bool def);
bool WriteSettingBool(const std::string& section, const std::string& key, bool value);
long ReadSettingLong(const std::string& section, const std::string& key, long def);
bool WriteSettingLong(const std::string& section, const std::string& key, long value);

}  // namespace tessa
