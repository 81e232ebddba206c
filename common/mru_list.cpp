#include "common/mru_list.h"

#include <algorithm>

#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "platform/ini_file.h"

namespace tessa {

namespace {

constexpr const char* kMissing = "+-!#";
constexpr const char* kDone = "MRU_DONE";

}  // namespace

void clsMRU::Setup(long lMaxItems, const std::string& sSaveToFile, const std::string& sDescriptionOfCollection,
                   const std::string& sDefaultArray) {
  maxItems_ = std::max(lMaxItems, 0L);
  clnMRU_.clear();
  section_ = sDescriptionOfCollection;
  file_ = sSaveToFile;
  ReadIniFileIntoCollection();
  if (sDefaultArray != "-1" && clnMRU_.empty()) {
    for (const std::string& part : SplitText(sDefaultArray, ',')) AddUniqueItemToCollection(part);
  }
  changed_ = false;
}

void clsMRU::ShutDown() {
  WriteCollectionToIniFile();
  clnMRU_.clear();
}

bool clsMRU::bItemExistsInMRU(const std::string& sValue, bool bCaseSensitive) const {
  return std::any_of(clnMRU_.begin(), clnMRU_.end(), [&](const std::string& item) {
    return bCaseSensitive ? item == sValue : EqualsNoCase(item, sValue);
  });
}

void clsMRU::AddUniqueItemToCollection(const std::string& vNewValue) {
  if (vNewValue.empty() || vNewValue.find_first_of("\r\n") != std::string::npos) return;
  changed_ = true;
  std::erase_if(clnMRU_, [&](const std::string& item) { return EqualsNoCase(item, vNewValue); });
  if (maxItems_ <= 0) return;
  while (static_cast<long>(clnMRU_.size()) >= maxItems_) clnMRU_.erase(clnMRU_.begin());
  clnMRU_.push_back(vNewValue);
}

void clsMRU::WriteCollectionToIniFile() {
  if (mbClearHistory || !changed_ || bCommandLineMode || file_.empty()) return;
  bool ok = true;
  for (size_t i = 0; i < clnMRU_.size() && ok; ++i)
    ok = WriteIniString(file_, section_, section_ + std::to_string(i + 1), clnMRU_[i]);
  // Keys past the terminator stay as they are: readers stop at it.
  if (ok) ok = WriteIniString(file_, section_, section_ + std::to_string(clnMRU_.size() + 1), kDone);
  // A list that could not be stored is tried again at the next write.
  if (ok) changed_ = false;
}

void clsMRU::ReadIniFileIntoCollection() {
  if (mbClearHistory) return;
  ClearAllItemsInList();
  std::vector<std::string> kept;
  for (long i = 1; i <= maxItems_; ++i) {
    const std::string value = ReadIniString(file_, section_, section_ + std::to_string(i), kMissing);
    if (value == kMissing || value == kDone) break;
    kept.push_back(value);
  }
  for (const std::string& value : kept) AddUniqueItemToCollection(value);
}

void clsMRU::ClearAllItemsInList() {
  changed_ = true;
  clnMRU_.clear();
}

}  // namespace tessa
