#include "platform/output_lock.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

namespace tessa {

namespace {

// FNV-1a of the name, for the short lock-file name of a long output name.
std::string HashText(const std::string& text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  char buffer[17];
  std::snprintf(buffer, sizeof buffer, "%016llx", static_cast<unsigned long long>(h));
  return buffer;
}

bool SameInode(int fd, const std::string& path) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

}  // namespace

std::string OutputLock::LockFileOf(const std::string& target) {
  const std::filesystem::path path(target);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  const std::string name = path.filename().string();
  if (name.size() + 6 <= NAME_MAX) return folder + "/." + name + ".lock";
  return folder + "/.tessaprint-" + HashText(name) + ".lock";
}

OutputLock::OutputLock(const std::string& target, const std::function<bool()>& bGiveUp) : path_(LockFileOf(target)) {
  // The holder removes the file as it lets go, so a lock taken on a file
  // that is no longer the one under the name is taken again on the new one.
  for (;;) {
    const int fd = ::open(path_.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) return;
    int rc;
    while ((rc = ::flock(fd, LOCK_EX)) != 0 && errno == EINTR) {
      if (bGiveUp && bGiveUp()) break;
    }
    if (rc != 0) {
      ::close(fd);
      return;
    }
    if (SameInode(fd, path_)) {
      fd_ = fd;
      return;
    }
    ::close(fd);
  }
}

OutputLock::~OutputLock() {
  if (fd_ < 0) return;
  ::unlink(path_.c_str());
  ::close(fd_);
}

}  // namespace tessa
