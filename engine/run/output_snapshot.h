// How an output PDF stood before a conversion item, so that an item that
// fails part-way can be undone: appends are written after the old bytes, so
// the file is cut back to its old length (or removed when the item made it);
// a file that was rewritten whole is swapped back for the old one, which is
// kept under a second, hidden name beside it from Hold() on while the
// snapshot lives.
#pragma once

#include <cstdint>
#include <string>

namespace tessa {

class OutputSnapshot {
 public:
  // Notes the state of sPath now.
  explicit OutputSnapshot(std::string sPath);
  // Drops the second name of the old file.
  ~OutputSnapshot();
  OutputSnapshot(const OutputSnapshot&) = delete;
  OutputSnapshot& operator=(const OutputSnapshot&) = delete;

  // Gives the old file its second name (once), before work that may
  // replace the file and then still fail: a pass of several conversions.
  // A single conversion replaces the file only when it succeeds.
  void Hold();

  // Puts sPath back as it was noted: removes it when it did not exist, puts
  // the old file back when it was replaced or removed, and cuts it back to
  // its old length when it grew. True when the file stands as it was.
  bool Restore();

 private:
  void HoldOldFile();

  bool held_ = false;

  std::string path_;
  bool existed_ = false;
  uint64_t size_ = 0;
  uint64_t device_ = 0;
  uint64_t inode_ = 0;
  std::string keep_;  // second name of the old file; "" when none could be made
};

}  // namespace tessa
