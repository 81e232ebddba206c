// The items a file-manager selection offers to the "Convert To PDF" menu:
// folders and the image and PDF files it can convert, in the order given.
#pragma once

#include <string>
#include <vector>

namespace tessa {

// True when a file with this name is one the menu converts: its extension
// (after the last dot, any case) is one of the 22 image types or PDF.
bool bIsAcceptedFileName(const std::string& sPath);

// True unless the path cannot be looked up as a folder because it is missing
// or is a file; any other failure counts as a folder.
bool bIsFolder(const std::string& sPath);

class MenuSelection {
 public:
  static constexpr std::size_t kMaxItems = 255;

  // Keeps the folders (written with a trailing "/") and the accepted files of
  // paths, in order, each as the system names it ("\" and blanks belong to
  // its names); other paths and empty ones are skipped. False (and an
  // empty selection) when more than 255 paths are given.
  bool Initialize(const std::vector<std::string>& paths);

  int FileCount() const { return static_cast<int>(items_.size()); }
  bool bAtLeastOneFolderSelected() const { return bFolder_; }
  // Accepted item index (0-based); "" outside 0..FileCount()-1.
  std::string FileName(int index) const;
  // The name after the last "/" of item index; "" for a folder.
  std::string FileNameShort(int index) const;
  const std::vector<std::string>& Items() const { return items_; }

 private:
  std::vector<std::string> items_;
  bool bFolder_ = false;
};

}  // namespace tessa
