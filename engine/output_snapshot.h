// How an output PDF stood before a conversion item, so that an item that
// fails part-way can be undone: appends are written after the old bytes, so
// the file is cut back to its old length (or removed when the item made it).
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

class OutputSnapshot {
 public:
  // Notes the state of sPath now.
  explicit OutputSnapshot(std::string sPath);

  // Puts sPath back as it was noted: removes it when it did not exist, cuts
  // it back to its old length when it is still the same file and only grew.
  // A file that was replaced as a whole is left as it is. True when the
  // file stands as it was.
  bool Restore() const;

 private:
  std::string path_;
  bool existed_ = false;
  uint64_t size_ = 0;
  uint64_t device_ = 0;
  uint64_t inode_ = 0;
};

}  // namespace tessa
