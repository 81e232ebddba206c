// Path rules of the context helper: the root folder of a selection, the
// parts of a file path, and removing an output that is to be replaced.
#pragma once

#include <string>

namespace tessa::ferrowick {

// True when path names an existing folder.
bool bIsFolder(const std::string& path);

// The root folder of a run from its lowest-branch path: the path itself when
// it is a folder, else its parent; with a trailing "/". "" when that is a
// single character (the file system root) or not a folder.
std::string GetFolderOf(const std::string& path);

// The folder that holds path, by the same rule as GetFolderOf.
std::string GetParentFolderOf(const std::string& path);

// A file path cut into its folder (with the trailing "/"), its name, the
// name's base (before the last dot) and its extension (after it; "" when the
// name has no dot).
struct PathParts {
  std::string folder;
  std::string name;
  std::string base;
  std::string extension;
};
PathParts SplitPath(const std::string& path);

// The output of one input of a one-PDF-per-file run, its folder made: beside
// the input, or below "<root>Vemo-Output/" with the input's folders under the
// root mirrored. An input outside the root (or a run without root) uses its
// own folder as root.
std::string PerFileOutputName(const std::string& input, const std::string& root, bool besideSource);

// Creates folder and every missing parent; failures are left to the caller
// to notice when it writes there.
void MakeDirTree(const std::string& folder);

// True when a and b name the same file: the same existing file (links and
// case-insensitive file systems included), or the same text.
bool bSameFile(const std::string& a, const std::string& b);

// Removes the existing output file path, read-only or not. "" when it is
// gone, else the system's reason.
std::string RemoveOutputFile(const std::string& path);

}  // namespace tessa::ferrowick
