// The scheduler's list of recently chosen job files, kept in its own section
// of the settings file: keys <section>1 .. <section>n hold the items oldest
// first and <section>(n+1) holds "MRU_DONE".
#pragma once

#include <string>
#include <vector>

namespace tessa {

class JobFileHistory {
 public:
  // Reads the list of section from the INI file at sSaveToFile, keeping at
  // most lMaxItems; an empty section takes the comma-separated
  // sDefaultArray ("-1" for none).
  void Setup(int lMaxItems, const std::string& sSaveToFile, const std::string& sSection,
             const std::string& sDefaultArray);

  // Puts v as the newest item: an item equal to it without regard to case
  // goes, and the oldest goes when the list is full. "" is ignored.
  void AddUniqueItemToCollection(const std::string& v);

  // Writes the list when it changed (never in a command-line or automation
  // run).
  void WriteCollectionToIniFile();
  void ShutDown() { WriteCollectionToIniFile(); }

  // The items, newest first.
  std::vector<std::string> NewestFirst() const;

 private:
  std::vector<std::string> items_;  // oldest first
  int max_ = 0;
  std::string file_, section_;
  bool changed_ = false;
};

}  // namespace tessa
