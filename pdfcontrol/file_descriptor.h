// An open file descriptor held for a scope, and reading at an offset
// through it: what the readers of a PDF file's end share.
#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

namespace quirepane {

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd) : fd_(fd) {}
  // Opens path with flags (O_CLOEXEC added); get() < 0 when it failed.
  FileDescriptor(const std::string& path, int flags) : fd_(::open(path.c_str(), flags | O_CLOEXEC)) {}
  ~FileDescriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Up to n bytes of the file open on fd from offset; fewer at its end.
inline std::string ReadAt(int fd, unsigned long long offset, size_t n) {
  std::string bytes(n, '\0');
  const ssize_t got = ::pread(fd, bytes.data(), n, static_cast<off_t>(offset));
  bytes.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return bytes;
}

}  // namespace quirepane
