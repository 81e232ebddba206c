// Telling a temporary file in use from one left behind by a process that was
// killed: the process that makes a temporary file claims it (holds a lock on
// it) for as long as it uses it. The system drops the claim when its holder
// dies, so a claimed kind of file that nobody holds is a leftover.
#pragma once

#include <string>

#include "platform/platform_api.h"

namespace tessa TESSA_PLATFORM_API {

class TempFileClaim {
 public:
  TempFileClaim() = default;
  // Claims the existing file at path; not held when it cannot be opened.
  explicit TempFileClaim(const std::string& path);
  // Claims the file open on fd and keeps fd (closed when the claim goes).
  static TempFileClaim Adopt(int fd);
  ~TempFileClaim();
  TempFileClaim(TempFileClaim&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  TempFileClaim& operator=(TempFileClaim&& other) noexcept;
  TempFileClaim(const TempFileClaim&) = delete;
  TempFileClaim& operator=(const TempFileClaim&) = delete;

  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

// Removes the regular file at path when no process holds a claim on it.
// True when it was removed.
bool RemoveIfAbandoned(const std::string& path);

}  // namespace tessa
