#include "common/picker_paths.h"

#include <algorithm>

#include "common/file_helpers.h"
#include "common/path_macros.h"
#include "common/text_helpers.h"

namespace tessa {

std::string GetNearestExistingPath(std::string& sPath) {
  std::string expanded = ExpandPathMacros(sPath);
  const std::string folder = GetFolderFromPath(ToForwardSlashes(expanded));
  if (!folder.empty() && bFolderExists(folder)) return folder;
  // Cut the folder back to each separator in turn, down to the root.
  for (size_t keep = folder.empty() ? 0 : folder.size() - 1; keep >= 1; --keep) {
    const std::string cut = folder.substr(0, keep);
    if (IsPathSeparator(cut.back()) && bFolderExists(cut)) return cut + GetFileNameFromPath(expanded);
  }
  return sPath;
}

std::string BrowseStartFolder(std::string& sStartFolder) {
  sStartFolder = ExpandPathMacros(sStartFolder);
  std::replace(sStartFolder.begin(), sStartFolder.end(), '*', 'A');
  return BrowsedFolderText(ToForwardSlashes(sStartFolder));
}

std::string NearestExistingFolder(const std::string& path) {
  const std::string start = TypedPath(path);
  if (start.empty() || bFolderExists(start)) return start;
  std::string probe = start;
  return GetFolderFromPath(GetNearestExistingPath(probe));
}

std::string BrowsedFolderText(const std::string& picked) {
  if (picked.size() <= 1) return picked;
  return RemoveTrailingBackslash(picked);
}

}  // namespace tessa
