#include "scheduler/job_file_history.h"

#include <algorithm>

#include "common/program_modes.h"
#include "common/text_helpers.h"
#include "platform/ini_file.h"

namespace tessa {

namespace {
const char* kMissing = "+-!#";
const char* kDone = "MRU_DONE";
}  // namespace

void JobFileHistory::Setup(int lMaxItems, const std::string& sSaveToFile, const std::string& sSection,
                           const std::string& sDefaultArray) {
  max_ = std::max(lMaxItems, 1);
  file_ = sSaveToFile;
  section_ = sSection;
  items_.clear();
  std::vector<std::string> read;
  for (int i = 1; i <= max_; ++i) {
    const std::string v = ReadIniString(file_, section_, section_ + std::to_string(i), kMissing);
    if (v == kMissing || v == kDone) break;
    read.push_back(v);
  }
  for (const auto& v : read) AddUniqueItemToCollection(v);
  if (sDefaultArray != "-1" && items_.empty())
    for (const auto& v : SplitText(sDefaultArray, ',')) AddUniqueItemToCollection(v);
  changed_ = false;
}

void JobFileHistory::AddUniqueItemToCollection(const std::string& v) {
  if (v.empty()) return;
  std::erase_if(items_, [&](const std::string& item) { return EqualsNoCase(item, v); });
  if (static_cast<int>(items_.size()) >= max_) items_.erase(items_.begin());
  items_.push_back(v);
  changed_ = true;
}

void JobFileHistory::WriteCollectionToIniFile() {
  if (!changed_ || file_.empty() || bCommandLineMode || bAutomationMode) return;
  IniWriteLock lock(file_);
  for (size_t i = 0; i < items_.size(); ++i)
    WriteIniString(file_, section_, section_ + std::to_string(i + 1), items_[i]);
  WriteIniString(file_, section_, section_ + std::to_string(items_.size() + 1), kDone);
  changed_ = false;
}

std::vector<std::string> JobFileHistory::NewestFirst() const { return {items_.rbegin(), items_.rend()}; }

}  // namespace tessa
