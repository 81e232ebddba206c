#include "engine/output_snapshot.h"

#include <sys/stat.h>
#include <unistd.h>

#include <utility>

namespace tessa {

OutputSnapshot::OutputSnapshot(std::string sPath) : path_(std::move(sPath)) {
  struct stat st {};
  if (!path_.empty() && ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
    existed_ = true;
    size_ = static_cast<uint64_t>(st.st_size);
    device_ = static_cast<uint64_t>(st.st_dev);
    inode_ = static_cast<uint64_t>(st.st_ino);
  }
}

bool OutputSnapshot::Restore() const {
  struct stat st {};
  const bool existsNow = !path_.empty() && ::stat(path_.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  if (!existed_) return !existsNow || ::unlink(path_.c_str()) == 0;
  if (!existsNow) return false;
  const auto size = static_cast<uint64_t>(st.st_size);
  if (static_cast<uint64_t>(st.st_dev) != device_ || static_cast<uint64_t>(st.st_ino) != inode_) return false;
  if (size == size_) return true;
  if (size < size_) return false;
  return ::truncate(path_.c_str(), static_cast<off_t>(size_)) == 0;
}

}  // namespace tessa
