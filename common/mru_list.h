// A most-recently-used list (job files, paths, command lines) kept in its own
// section of the settings file: keys <name>1..<name>n hold the items oldest
// first and key <name>(n+1) holds "MRU_DONE".
#pragma once

#include <string>
#include <vector>

namespace tessa {

class clsMRU {
 public:
  // When true the list neither reads nor writes its section.
  bool mbClearHistory = false;

  // Keeps at most lMaxItems items in section sDescriptionOfCollection of the
  // INI file sSaveToFile and reads them. When sDefaultArray is not "-1" and
  // the section gave nothing, its comma-separated parts are added in order.
  void Setup(long lMaxItems, const std::string& sSaveToFile, const std::string& sDescriptionOfCollection,
             const std::string& sDefaultArray);

  // Writes the list back (when changed) and empties it.
  void ShutDown();

  // True when an item equals sValue exactly, or without bCaseSensitive when
  // they differ only in letter case.
  bool bItemExistsInMRU(const std::string& sValue, bool bCaseSensitive) const;

  // Makes vNewValue the newest item: an item equal to it in any case is
  // removed first, and the oldest item goes when the list is full. Empty
  // texts, and texts holding a line break (a settings line cannot keep
  // them), are ignored.
  void AddUniqueItemToCollection(const std::string& vNewValue);

  // Writes every item and the terminator when the list changed since it was
  // read or last written; nothing in a command-line or automation run.
  void WriteCollectionToIniFile();

  // Replaces the items by the section's keys up to the first missing key or
  // "MRU_DONE" (at most the maximum number of items).
  void ReadIniFileIntoCollection();

  // Removes every item (the list counts as changed).
  void ClearAllItemsInList();

  long Count() const { return static_cast<long>(clnMRU_.size()); }
  // The items, oldest first.
  const std::vector<std::string>& Items() const { return clnMRU_; }
  // The items, newest first, as menus and combo boxes show them.
  std::vector<std::string> NewestFirst() const { return {clnMRU_.rbegin(), clnMRU_.rend()}; }
  const std::string& Section() const { return section_; }

 private:
  std::vector<std::string> clnMRU_;
  long maxItems_ = 0;
  std::string section_;
  std::string file_;
  bool changed_ = false;
};

}  // namespace tessa
