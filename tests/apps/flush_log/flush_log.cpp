// Preloaded into a program under test: each fsync and fdatasync appends the
// flushed file's path, one a line, to the file TESSA_FLUSH_LOG names, then
// does the flush.
#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void Note(int fd) {
  const char* log = std::getenv("TESSA_FLUSH_LOG");
  if (!log) return;
  char path[4096];
  const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
  const std::string line = std::string(path, n > 0 ? static_cast<size_t>(n) : 0) + "\n";
  const int out = ::open(log, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (out < 0) return;
  if (::write(out, line.data(), line.size()) < 0) {}
  ::close(out);
}

template <typename F>
int Forward(const char* name, int fd) {
  Note(fd);
  return reinterpret_cast<F>(::dlsym(RTLD_NEXT, name))(fd);
}

}  // namespace

extern "C" int fsync(int fd) { return Forward<int (*)(int)>("fsync", fd); }
extern "C" int fdatasync(int fd) { return Forward<int (*)(int)>("fdatasync", fd); }
