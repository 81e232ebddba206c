// Path rules of the context helper: the root folder of a selection, the
// parts of a file path, and removing an output that is to be replaced. The
// paths are as the file manager names them: only "/" parts them, and "\"
// and blanks are characters of a name.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <utility>
#include <vector>

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

// The existing files among a run's inputs, known by device and inode, so
// that an output about to be replaced is recognised as one of them whatever
// name, link or letter case leads to it.
class ChosenFiles {
 public:
  explicit ChosenFiles(const std::vector<std::string>& paths);
  // True when path names an existing file that is one of the inputs.
  bool bContains(const std::string& path) const;

 private:
  std::set<std::pair<uint64_t, uint64_t>> ids_;
};

// An existing output that is to be replaced, moved aside under a hidden
// name beside it while its replacement is made, so that a failed conversion
// does not cost the old file: it goes only once Drop says the new one stands,
// and is put back otherwise when this object ends.
class OldOutput {
 public:
  explicit OldOutput(std::string path);
  ~OldOutput();
  OldOutput(const OldOutput&) = delete;
  OldOutput& operator=(const OldOutput&) = delete;

  // "" when the old file was moved aside, else the system's reason (the
  // file is then where it was).
  const std::string& Error() const { return error_; }
  // The replacement stands: the old file is removed.
  void Drop();

 private:
  std::string path_;
  std::string aside_;  // the old file's hidden name; "" when none
  std::string error_;
};

}  // namespace tessa::ferrowick
