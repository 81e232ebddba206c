#include "engine/run/output_snapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

#include "platform/sibling_file.h"
#include "platform/work_file_journal.h"

namespace tessa {

namespace {

bool StatRegular(const std::string& path, struct stat& st) {
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

}  // namespace

OutputSnapshot::OutputSnapshot(std::string sPath) : path_(std::move(sPath)) {
  struct stat st {};
  if (StatRegular(path_, st)) {
    existed_ = true;
    size_ = static_cast<uint64_t>(st.st_size);
    device_ = static_cast<uint64_t>(st.st_dev);
    inode_ = static_cast<uint64_t>(st.st_ino);
  }
}

void OutputSnapshot::Hold() {
  if (held_ || !existed_) return;
  held_ = true;
  HoldOldFile();
}

OutputSnapshot::~OutputSnapshot() {
  if (!keep_.empty()) ::unlink(keep_.c_str());
}

// Gives the old file a second name beside it, so that a writer replacing
// the output does not free the old one.
void OutputSnapshot::HoldOldFile() {
  keep_ = LinkUnderSiblingName(path_);
  if (!keep_.empty()) NoteWorkFile(keep_);
}

bool OutputSnapshot::Restore() {
  struct stat st {};
  bool existsNow = StatRegular(path_, st);
  if (!existed_) return !existsNow || ::unlink(path_.c_str()) == 0;

  const auto sameFile = [this](const struct stat& s) {
    return static_cast<uint64_t>(s.st_dev) == device_ && static_cast<uint64_t>(s.st_ino) == inode_;
  };
  if (!existsNow || !sameFile(st)) {
    struct stat kept {};
    if (keep_.empty() || !StatRegular(keep_, kept) || !sameFile(kept)) return false;
    if (::rename(keep_.c_str(), path_.c_str()) != 0) return false;
    HoldOldFile();  // for a later Restore
    existsNow = StatRegular(path_, st);
    if (!existsNow || !sameFile(st)) return false;
  }
  const auto size = static_cast<uint64_t>(st.st_size);
  if (size == size_) return true;
  if (size < size_) return false;
  return ::truncate(path_.c_str(), static_cast<off_t>(size_)) == 0;
}

}  // namespace tessa
