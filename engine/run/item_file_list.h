// The files one conversion item hands to the image-to-PDF control, in order:
// the input itself or temporary one-frame files cut from it. The temporary
// files are removed when the list is cleared or goes, and only those: a
// file the user already had is never touched.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/temp_file_claim.h"

namespace tessa {

class ItemFileList {
 public:
  struct Entry {
    std::string path;
    bool bTemporary = false;
    // The input's page a temporary file holds; for the input given whole
    // with several pages, its last page; 0 otherwise.
    int32_t lPage = 0;
  };

  ItemFileList() = default;
  ~ItemFileList();
  ItemFileList(const ItemFileList&) = delete;
  ItemFileList& operator=(const ItemFileList&) = delete;

  // The name of the temporary file of page lPage of sInput: the input's
  // folder, base name, "-ZOL_TEMP_FILE-", the page and the input's
  // extension.
  static std::string FrameFileName(const std::string& sInput, int32_t lPage);

  // Creates the empty temporary file for page lPage of sInput and returns
  // its path: FrameFileName when that name is free and its folder takes new
  // files, else the same name in a private folder under the temporary
  // folder. "" when neither place can be used.
  std::string ReserveFrameFile(const std::string& sInput, int32_t lPage);

  void AddInput(const std::string& sInput) { entries_.push_back({sInput, false, 0}); }
  // The input itself, all lPages of its pages in one conversion.
  void AddWhole(const std::string& sInput, int32_t lPages) { entries_.push_back({sInput, false, lPages}); }
  void AddFrame(const std::string& sFile, int32_t lPage) { entries_.push_back({sFile, true, lPage}); }

  size_t Count() const { return entries_.size(); }
  const Entry& operator[](size_t i) const { return entries_[i]; }

  // Deletes every temporary file reserved so far and empties the list.
  void Clear();

 private:
  std::vector<Entry> entries_;
  std::vector<std::string> reserved_;
  std::vector<TempFileClaim> claims_;  // held on the reserved files while they are in use
  std::string privateFolder_;
};

}  // namespace tessa
