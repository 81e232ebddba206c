#include "common/settings_file.h"

#include <optional>

#include "common/file_helpers.h"
#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "common/vb_conversions.h"
#include "common/windows_version.h"
#include "platform/ini_file.h"
#include "platform/known_folders.h"

namespace tessa {

std::string sIniFile;
std::string sDataFolder;

namespace {

constexpr const char* kCompany = "Brindlecove, Inc";
constexpr const char* kNotExist = "Special Folder Does Not Exist";
constexpr const char* kNotValid = "Folder Not Valid On this OS";

std::optional<std::string>& Remembered() {
  static std::optional<std::string> path;
  return path;
}

std::string ProductBaseName(long type) { return type == 18 ? "Vemo_SearchHistory" : "ABC"; }
std::string ProductFolderName(long type) { return type == 18 ? "Tessalumen" : "123"; }

bool Contains(const std::string& s, const std::string& part) {
  return ToLowerAscii(s).find(ToLowerAscii(part)) != std::string::npos;
}

bool ProbeKey(const std::string& path, const std::string& value) {
  return WriteIniString(path, "Main", "Partial", value) &&
         ReadIniString(path, "Main", "Partial", "0") == value;
}

}  // namespace

std::string GetSpecialFolder(long lCsidl) {
  const SpecialFolderLookup f = LookUpSpecialFolder(lCsidl);
  switch (f.status) {
    case SpecialFolderStatus::Found: return f.path;
    case SpecialFolderStatus::DoesNotExist: return kNotExist;
    default: return kNotValid;
  }
}

std::string GetSpecialFolderPath(long lCsidl) {
  const SpecialFolderLookup f = LookUpSpecialFolder(lCsidl);
  return f.status == SpecialFolderStatus::Found ? f.path : "(error)";
}

bool bCanWriteIniFile(const std::string& sPath) {
  if (Contains(sPath, kNotValid) || Contains(sPath, kNotExist)) return false;
  const std::string folder = GetParentFolder(sPath);
  if (folder.empty()) return false;
  if (!bFolderExists(folder)) {
    MakeFolderPath(folder);
    if (!bFolderExists(folder)) return false;
  }
  IniWriteLock lock(sPath);
  return ProbeKey(sPath, "level2") && ProbeKey(sPath, "Level3");
}

std::string FindINIFile(const std::string& sFileName, const std::string& sCompany,
                        const std::string& sProduct, long lCsidl) {
  auto& remembered = Remembered();
  if (remembered) return *remembered;
  const std::string sub = "/" + sCompany + "/" + sProduct;
  if (lCsidl != 0) {
    // One folder only: its answer, usable or not, stands for the process,
    // so every caller agrees with the path fixed at start-up.
    const std::string candidate = GetSpecialFolder(lCsidl) + sub + "/" + sFileName;
    remembered = bCanWriteIniFile(candidate) ? candidate : std::string();
    return *remembered;
  }
  const std::string programFolder = ProgramFolder();
  if (!programFolder.empty()) {
    const std::string candidate = programFolder + "/" + sFileName;
    if (bCanWriteIniFile(candidate)) return *(remembered = candidate);
  }
  for (long id : {46L, 28L, 26L, 5L, 35L}) {
    const std::string candidate = GetSpecialFolder(id) + sub + "/" + sFileName;
    if (bCanWriteIniFile(candidate)) return *(remembered = candidate);
  }
  return "";
}

void ForgetRememberedIniFile() { Remembered().reset(); }

std::string GetIniFilePath(long lProductType) {
  const std::string file = ProductBaseName(lProductType) + ".INI";
  const std::string product = ProductFolderName(lProductType);
  if (bIsVistaOrLater()) return FindINIFile(file, kCompany, product, 26);
  return FindINIFile(file, kCompany, product, 0);
}

std::string ReadSetting(const std::string& section, const std::string& key, const std::string& def) {
  return ReadIniString(sIniFile, section, key, def);
}

bool WriteSetting(const std::string& section, const std::string& key, const std::string& value) {
  // Nothing is stored while a command line or an automation call runs.
  if (bCommandLineMode) return false;
  return WriteIniString(sIniFile, section, key, value);
}

bool ReadSettingBool(const std::string& section, const std::string& key, bool def) {
  const std::string v = ReadIniString(sIniFile, section, key, def ? "TRUE" : "FALSE");
  return ToUpperAscii(v) == "TRUE";
}

bool WriteSettingBool(const std::string& section, const std::string& key, bool value) {
  return WriteSetting(section, key, BoolToUpperText(value));
}

long ReadSettingLong(const std::string& section, const std::string& key, long def) {
  const auto v = CLngText(ReadIniString(sIniFile, section, key, ""));
  return v ? *v : def;
}

bool WriteSettingLong(const std::string& section, const std::string& key, long value) {
  return WriteSetting(section, key, std::to_string(value));
}

}  // namespace tessa
