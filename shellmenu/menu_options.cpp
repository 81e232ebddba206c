#include "shellmenu/menu_options.h"

#include "common/settings_file.h"
#include "common/vb_conversions.h"
#include "platform/ini_file.h"

namespace tessa {
namespace {

constexpr const char* kSection = "VemoContext";

long ReadOption(const std::string& sIni, const char* key) {
  return CLngText(ReadIniString(sIni, kSection, key, "")).value_or(0);
}

}  // namespace

std::string GetINIFile() { return GetIniFilePath(18); }

MenuOptions LoadOptions(const std::string& sIni) {
  MenuOptions o;
  o.lDoSubfolders = ReadOption(sIni, "Option_DoSubfolders");
  o.lOverwrite = ReadOption(sIni, "OptionOverwrite");
  o.lOpenFile = ReadOption(sIni, "OptionOpenFile");
  o.lSaveToOriginalFolder = ReadOption(sIni, "Option_SaveToOriginalFolder");
  return o;
}

void SaveOptions(const std::string& sIni, const MenuOptions& o) {
  WriteIniString(sIni, kSection, "Option_DoSubfolders", std::to_string(o.lDoSubfolders));
  WriteIniString(sIni, kSection, "Option_SaveToOriginalFolder", std::to_string(o.lSaveToOriginalFolder));
  WriteIniString(sIni, kSection, "OptionOverwrite", std::to_string(o.lOverwrite));
  WriteIniString(sIni, kSection, "OptionOpenFile", std::to_string(o.lOpenFile));
}

std::string ReadRecentPDF(const std::string& sIni) { return ReadIniString(sIni, "Files", "RecentPDF", ""); }

void WriteRecentPDF(const std::string& sIni, const std::string& sPath) {
  WriteIniString(sIni, "Files", "RecentPDF", sPath);
}

}  // namespace tessa
