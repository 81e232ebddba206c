#include "platform/temp_file_claim.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tessa {

namespace {

int OpenExisting(const std::string& path) {
  return ::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
}

}  // namespace

TempFileClaim::TempFileClaim(const std::string& path) : fd_(OpenExisting(path)) {
  if (fd_ >= 0 && ::flock(fd_, LOCK_SH | LOCK_NB) != 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

TempFileClaim TempFileClaim::Adopt(int fd) {
  TempFileClaim claim;
  if (fd >= 0 && ::flock(fd, LOCK_SH | LOCK_NB) == 0) {
    claim.fd_ = fd;
  } else if (fd >= 0) {
    ::close(fd);
  }
  return claim;
}

TempFileClaim::~TempFileClaim() {
  if (fd_ >= 0) ::close(fd_);
}

TempFileClaim& TempFileClaim::operator=(TempFileClaim&& other) noexcept {
  if (this != &other) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

bool RemoveIfAbandoned(const std::string& path) {
  const int fd = OpenExisting(path);
  if (fd < 0) return false;
  struct stat st {};
  bool removed = false;
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
    removed = ::unlink(path.c_str()) == 0;
  ::close(fd);
  return removed;
}

}  // namespace tessa
