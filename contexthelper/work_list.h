// The work list of a run: the chosen paths with every folder replaced by the
// image files it holds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tessa::ferrowick {

// True when the extension of name (any letter case) is one of the image
// types taken from folders: JPG, JPEG, BMP, TIF, TIFF, GIF, PCX, PNG, RAS,
// TGZ, JNG, KOA, LBM, MNG, PBM, PCD, PGM, PPM, WBMP, PSD, CUT.
bool bIsFolderImage(std::string_view name);

// Appends the image files of folder to list, by name; with subfolders, then
// the images of each subfolder that is not hidden (its name starts with
// ".") and not a link, likewise. Unreadable folders add nothing.
void AddImageFilesInFolder(const std::string& folder, std::vector<std::string>& list, bool subfolders);

// The inputs of a run from the chosen paths (element 0 is unused, as the
// callers hand it over): a folder gives its image files in its place, any
// other path is taken as it stands, whatever its extension.
std::vector<std::string> BuildWorkList(const std::vector<std::string>& chosen, bool subfolders);

}  // namespace tessa::ferrowick
