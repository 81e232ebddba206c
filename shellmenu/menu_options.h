// The four option entries of the "Convert To PDF" menu and the PDF that
// "Convert and Append to" targets, kept in the settings file shared with
// tessaprint ([VemoContext] and [Files] "RecentPDF").
#pragma once

#include <string>

namespace tessa {

// An option's stored value: 0 off, 8 on (the checked state of its entry).
inline constexpr long kOptionOn = 8;

struct MenuOptions {
  long lDoSubfolders = 0;
  long lOverwrite = 0;
  long lOpenFile = 0;
  long lSaveToOriginalFolder = 0;
};

// The settings file the menu reads and writes: the one tessaprint uses.
std::string GetINIFile();

// Reads the four [VemoContext] keys; a missing or non-numeric key reads as 0.
MenuOptions LoadOptions(const std::string& sIni);
// Writes all four keys as decimal text, in the order Option_DoSubfolders,
// Option_SaveToOriginalFolder, OptionOverwrite, OptionOpenFile.
void SaveOptions(const std::string& sIni, const MenuOptions& options);

std::string ReadRecentPDF(const std::string& sIni);
void WriteRecentPDF(const std::string& sIni, const std::string& sPath);

}  // namespace tessa
