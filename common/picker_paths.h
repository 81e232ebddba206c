// The path work around the file and folder pickers: where a file dialog
// starts for a path that may no longer exist, and what a folder browse
// starts at and gives back.
#pragma once

#include <string>

namespace tessa {

// Trims sPath in place and expands its macros; returns the folder of the
// expanded path when that folder exists, else the nearest existing parent
// folder followed by sPath's file name, else sPath itself.
std::string GetNearestExistingPath(std::string& sPath);

// The folder a browse starts at: sStartFolder with its macros expanded and
// every "*" made "A" (written back into sStartFolder), without one trailing
// separator; the root "/" stays "/".
std::string BrowseStartFolder(std::string& sStartFolder);

// Where a dialog for the typed path opens: path itself (trimmed) when it is
// an existing folder, else the folder of GetNearestExistingPath (macros
// expanded).
std::string NearestExistingFolder(const std::string& path);

// What a browse gives back for the folder picked: without one trailing
// separator, but the root stays "/" ("" would read as a cancel).
std::string BrowsedFolderText(const std::string& picked);

}  // namespace tessa
