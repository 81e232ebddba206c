#include "platform/output_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>

#include "platform/sibling_file.h"

namespace tessa {

namespace {

constexpr useconds_t kPollMicroseconds = 20000;

// FNV-1a, for a short lock-file name.
uint64_t Hash(const std::string& text) {
  uint64_t h = 1469598103934665603ull;
  for (unsigned char c : text) h = (h ^ c) * 1099511628211ull;
  return h;
}

bool SameInode(int fd, const std::string& path) {
  struct stat open {}, named {};
  return ::fstat(fd, &open) == 0 && ::lstat(path.c_str(), &named) == 0 && open.st_dev == named.st_dev &&
         open.st_ino == named.st_ino;
}

int OpenLockFile(const std::string& path) {
  constexpr int kFlags = O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path.c_str(), O_RDWR | O_CREAT | kFlags, 0666);
  if (fd >= 0) {
    ::fchmod(fd, 0666);  // another user may convert into the same file
    return fd;
  }
  // Another user's lock file in the shared folder opens for reading only,
  // which is all a lock needs.
  return ::open(path.c_str(), O_RDONLY | kFlags);
}

// The folder for lock files: /run/lock where it is the shared folder every
// user may write (kept in memory, so taking and dropping a lock costs no
// disk journal), else /tmp.
const char* LockFolder() {
  struct stat st {};
  const bool shared = ::stat("/run/lock", &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & 01777) == 01777 &&
                      ::access("/run/lock", W_OK | X_OK) == 0;
  return shared ? "/run/lock" : "/tmp";
}

}  // namespace

std::string OutputLock::LockFileOf(const std::string& target) {
  // A link and the file it names are one output; a loop of links, which
  // no write passes, is locked under its own name.
  const std::string written = WrittenPath(target);
  const std::filesystem::path path(written.empty() ? target : written);
  const std::string folder = path.parent_path().empty() ? "." : path.parent_path().string();
  std::string key;
  struct stat st {};
  if (::stat(folder.c_str(), &st) == 0) {
    key = std::to_string(st.st_dev) + ":" + std::to_string(st.st_ino) + "/" + path.filename().string();
  } else {
    std::error_code ec;
    key = std::filesystem::absolute(path, ec).lexically_normal().string();
  }
  char name[80];
  std::snprintf(name, sizeof name, "%s/.tessaprint-output-%016llx.lock", LockFolder(),
                static_cast<unsigned long long>(Hash(key)));
  return name;
}

OutputLock::OutputLock(const std::string& target, const std::function<bool()>& bGiveUp) : path_(LockFileOf(target)) {
  // The holder removes the file as it lets go, so a lock taken on a file
  // that is no longer the one under the name is taken again on the new one.
  for (;;) {
    const int fd = OpenLockFile(path_);
    if (fd < 0) {
      error_ = errno;
      return;
    }
    // Polled rather than blocking: a stop that came just before the wait
    // began must end it too, and a blocking lock would not see it.
    int rc;
    while ((rc = ::flock(fd, LOCK_EX | LOCK_NB)) != 0 && (errno == EWOULDBLOCK || errno == EINTR)) {
      if (bGiveUp && bGiveUp()) break;
      ::usleep(kPollMicroseconds);
    }
    if (rc != 0) {
      if (errno != EWOULDBLOCK && errno != EINTR) error_ = errno;
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
