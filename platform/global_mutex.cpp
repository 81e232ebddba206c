#include "platform/global_mutex.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tessa {

namespace {
// The open lock file between acquire and release (-1 when none).
int g_lockFd = -1;

int OpenLockFile() {
  const char* path = GlobalMutexPath();
  const int flags = O_RDWR | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK;
  int fd = ::open(path, flags | O_CREAT | O_EXCL, 0666);
  if (fd >= 0) {
    ::fchmod(fd, 0666);  // any user may take the lock, whatever the umask
  } else if (errno == EEXIST) {
    fd = ::open(path, flags);
    if (fd < 0 && errno == EACCES) fd = ::open(path, O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
  }
  if (fd < 0) return -1;
  struct stat st{};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}
}  // namespace

const char* GlobalMutexPath() { return "/tmp/Vellumite_Global_Mutex"; }

void AcquireGlobalMutex() {
  if (g_lockFd >= 0) return;
  const int fd = OpenLockFile();
  if (fd < 0) return;
  int rc;
  do rc = ::flock(fd, LOCK_EX);
  while (rc != 0 && errno == EINTR);
  if (rc != 0) {
    ::close(fd);
    return;
  }
  g_lockFd = fd;
}

void ReleaseGlobalMutex() {
  if (g_lockFd < 0) return;
  ::flock(g_lockFd, LOCK_UN);
  ::close(g_lockFd);
  g_lockFd = -1;
}

}  // namespace tessa
